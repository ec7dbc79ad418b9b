# Library frame: status messages and library memory.
module frame

# Records the IIR cascade exports make; released with ZMXFunc234.
handle IirCascade IirCascadeRecord destroy=234 exclusive

export 240 get_error_message -> str
  code in i32

# Both release library memory: from Python they close a handle the library
# allocated (an IIR cascade record), as handle.close() does.
export 234 free_library_memory -> void
  block release handle:IirCascade
export 238 free_library_memory_alias -> void
  block release handle:IirCascade
