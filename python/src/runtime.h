// Run-time support of the generated Python binding: argument parsing,
// conversion of array-likes to contiguous arrays, outputs, status codes,
// handles and model callbacks. Every wrapper returns nullptr with a Python
// exception set on failure, so no C++ exception crosses into the interpreter.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>
#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#ifndef QMPY_IMPORT_ARRAY
#define NO_IMPORT_ARRAY
#endif
#define PY_ARRAY_UNIQUE_SYMBOL qmanlys_ARRAY_API
#include <numpy/arrayobject.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "qmanlys.h"

namespace qmpy {

// ---- Exceptions and status codes -------------------------------------------
extern PyObject* ErrorType;    // qmanlys.Error (ValueError)
extern PyObject* WarningType;  // qmanlys.Warning (UserWarning)

// Raises qmanlys.Error for a negative status, warns for a positive one.
// False when an exception is set (an error, or a warning turned into one).
bool CheckStatus(int32_t status);
// Raises qmanlys.Error with the library's message of `code`; returns false.
bool RaiseStatus(int32_t code);

// ---- Arguments ----------------------------------------------------------------
// Fills slots[0..count-1] from positional (the first `positional` names only)
// and keyword arguments; unknown or repeated names raise TypeError.
bool ParseArgs(const char* function, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
               const char* const* names, int count, int positional, PyObject** slots);
bool Missing(const char* function, const char* arg);  // TypeError, returns false

bool ToDouble(PyObject* value, const char* function, const char* arg, double* out);
bool ToInt32(PyObject* value, const char* function, const char* arg, int32_t* out);
bool ToInt64(PyObject* value, const char* function, const char* arg, int64_t* out);
bool ToComplex(PyObject* value, const char* function, const char* arg, double* re, double* im);
// A request for an optional output: None/False no, True yes, an array: yes, into it.
bool Requested(PyObject* value);
bool WantsArray(PyObject* value);  // an array was given (not just True)

// A size the export takes as int32_t: beyond 32 bits is the library's -20046.
bool Narrow32(int64_t value, int32_t* out);

// ---- Arrays -----------------------------------------------------------------------
enum class Elem { f64, i32, i64, c128 };

class Array {
 public:
  Array() = default;
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  ~Array() { Py_XDECREF(array_); }

  // An input: any array-like converted (without a copy when it already is)
  // to a C-contiguous array of the element type with `ndim` dimensions (any
  // number when ndim is -1).
  bool Input(PyObject* value, Elem elem, int ndim, const char* function, const char* arg);
  // A caller-held array updated in place: must already be a writable
  // C-contiguous ndarray of the element type.
  bool State(PyObject* value, Elem elem, int ndim, const char* function, const char* arg);
  // An output of the given shape: the caller's array (exact type, shape,
  // contiguity, writable) or a new one when `given` is null, None or True.
  bool Output(PyObject* given, Elem elem, int ndim, const int64_t* dims, const char* function,
              const char* arg);
  // Replaces an input by a private copy (for exports that declare a
  // read-only argument without const).
  bool MakePrivate();

  bool Present() const { return array_ != nullptr; }
  int64_t Size() const { return array_ ? PyArray_SIZE(array_) : 0; }
  int64_t Rows() const;
  int64_t Cols() const;
  void* Data() const { return array_ ? PyArray_DATA(array_) : nullptr; }
  double* Doubles() const { return static_cast<double*>(Data()); }
  PyArrayObject* Get() const { return array_; }
  // The shape check of inputs: dims must match exactly.
  bool CheckShape(int ndim, const int64_t* dims, const char* function, const char* arg) const;
  // Borrowed result for building the return value (a new reference).
  PyObject* Take();
  bool fresh = false;  // the binding made this output

 private:
  PyArrayObject* array_ = nullptr;
};

// Scratch the binding needs (split complex arrays), for the duration of one
// call. Blocks come from a small per-thread cache, so repeated calls on large
// records reuse warm memory instead of faulting in fresh pages every time.
class Buffer {
 public:
  Buffer() = default;
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  ~Buffer();
  bool Allocate(int64_t doubles);  // MemoryError on failure
  double* data() const { return data_; }

 private:
  double* data_ = nullptr;
  int slot_ = -1;  // the cache slot lent, or -1 for a block of its own
};

// NUL-terminated text from a Python str (UTF-8).
class Text {
 public:
  bool Input(PyObject* value, const char* function, const char* arg);
  int64_t Size() const { return size_; }
  const char* data() const { return text_; }

 private:
  const char* text_ = "";
  int64_t size_ = 0;
  PyObject* keep_ = nullptr;  // borrowed from the argument, which outlives the call
};

// Room for text an export rewrites in place: the input copied, NUL padded.
class TextBuffer {
 public:
  TextBuffer() = default;
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  ~TextBuffer() { std::free(data_); }
  bool Allocate(const Text& from, int64_t room);  // MemoryError on failure
  char* data() const { return data_; }

 private:
  char* data_ = nullptr;
};

// Copies between a complex128 array and one of its parts.
void GatherPart(const Array& complex, int part, double* to, int64_t count);
void ScatterPart(const double* from, Array& complex, int part, int64_t count);
// Both parts in one pass.
void Deinterleave(const Array& complex, double* re, double* im, int64_t count);
void Interleave(const double* re, const double* im, Array& complex, int64_t count);
void CopyInto(const Array& from, Array& to);  // same element type, overlap allowed
void CopyInto(const Array& from, double* to, int64_t doubles);
void CopyOut(const double* from, Array& to, int64_t doubles);
// The first `count` elements of a 1-D output (a copy when the binding made it).
PyObject* Trim(Array& array, int64_t count);
// A new 1-D array holding a library-allocated block, which is then released.
PyObject* FromLibraryBlock(void* block, Elem elem, int64_t count);

// ---- Handles ------------------------------------------------------------------------
struct HandleKind {
  const char* name;
  void (*destroy)(void*);
  bool exclusive;  // not usable by two calls at once
};
PyObject* NewHandle(void* pointer, const HandleKind* kind, const char* function);
bool ReleaseHandle(PyObject* value, const char* function, const char* arg);

// Holds a handle for the duration of one call (the object cannot be closed
// meanwhile; an exclusive one cannot be used by another thread meanwhile).
class HandleUse {
 public:
  HandleUse() = default;
  HandleUse(const HandleUse&) = delete;
  HandleUse& operator=(const HandleUse&) = delete;
  ~HandleUse();
  bool Acquire(PyObject* value, const HandleKind* kind, bool optional, const char* function,
               const char* arg);
  void* pointer() const { return pointer_; }

 private:
  PyObject* object_ = nullptr;
  void* pointer_ = nullptr;
};

// ---- Model callbacks -----------------------------------------------------------------
// While alive, the thread's fit model is the Python callable f(x, a) -> float;
// the trampoline takes the GIL, calls it and turns any failure into NaN,
// remembering the first exception for Finish().
class ModelScope {
 public:
  ModelScope() = default;
  ModelScope(const ModelScope&) = delete;
  ModelScope& operator=(const ModelScope&) = delete;
  ~ModelScope();
  bool Begin(PyObject* callable, const char* function, const char* arg);
  bool Finish();  // false (with the callback's exception set) when it failed

 private:
  bool active_ = false;
  void* saved_ = nullptr;
};
double FitModelTrampoline(double x, const double* a, int32_t m);

// The return value: None, the one item, or a tuple (items are new references;
// a null item means an exception is set, and the others are released).
PyObject* Result(PyObject** items, int count);

// ---- Element-wise calls of scalar functions ---------------------------------------
// True when any of the first `count` arguments is an array or a sequence.
bool AnyArray(PyObject* const* args, int count);
// Broadcasts the inputs (null or None optional ones pass null pointers),
// calls `element` for each element with the GIL released and returns the
// `outputs` arrays of the broadcast shape (one array alone, else a tuple).
// A negative status of any element raises it; a positive one warns once.
PyObject* Elementwise(const char* function, PyObject** args, int inputs, const Elem* kinds,
                      const bool* optional, const char* const* names, int outputs,
                      int32_t (*element)(char* const* in, double* out));

// ---- Registration ---------------------------------------------------------------------
struct ExportInfo {
  const char* python_name;
  const char* module;
  int number;
};

}  // namespace qmpy
