"""The declarative table of export signatures: parser and checker.

The table lives in include/qmanlys/signatures/*.sig, one file per family.
Each file describes, for every export of the family, how a caller from a
higher-level language passes its arguments: which pointers are inputs,
outputs, in-place arrays or optional, which counts size which arrays, which
results the library allocates. The Python binding is generated from it and
the fuzzer draws its calls from it; `check_against_headers` compares it with
the prototypes of include/qmanlys/*.h so that the two cannot drift apart.

File syntax (one item per line, `#` starts a comment):

    module fft                        Python module of the exports that follow
    handle FftPlan QmFftPlanHandle destroy=261 [exclusive]
                                      an opaque object kind: its C type and
                                      the export that releases it; exclusive
                                      objects may not be used by two calls at once
    export 147 real_fft [-> RET]      an export: number, Python name, result
      PARAM ROLE TYPE [TOKENS...]     its C parameters, in order, indented

RET: status (the default: an int32_t status code), f64 (the value is the
result), discard (a double that carries nothing), void, str, handle:KIND
(null means the object could not be made).

ROLE:
    in      input (array, scalar by value, pointer to a scalar, handle, callback)
    in?     optional input: None passes a null pointer
    out     output the binding allocates (or the caller gives by keyword)
    out?    optional output: null unless the caller asks for it by keyword
    in~, out~, state~
            as in, out and state for the binding (which always passes the
            array), where the C interface also takes a null pointer: an
            output not wanted or whose result goes over an input (a filter
            in place), coefficients or a state left out; the fuzzer passes
            null there too and expects no -20008
    io      in-place array: the input is copied into the result, which the
            export overwrites; on a pointer (*f64) a value the export reads
            and updates (a phase carried from call to call): a Python
            number in, the updated number returned
    state   caller-held array updated in place (a writable ndarray)
    size    derived integer, never a Python argument: TOKEN `=EXPR`; as a
            pointer (*i64) a count the export reads and rewrites (points
            in, points kept out), which @NAME trims to
    null    always a null pointer (for example "optional output: over the input")
    alloc   array the library allocates (TYPE**); copied out and released
    release a handle released by this export (Python: closes the object)

TYPE: f64, i32, i64 (scalars by value); *f64, *i32, *i64, *c128 (pointer to
one value; *c128 to one complex as two doubles, a Python complex); f64[E], i32[E], i64[E], c128[E] (arrays, c128 = interleaved complex
as double pairs); f64[E,E] and c128[E,E] (row-major matrices); char[E]
(NUL-terminated text, a Python str: E bytes of room, len(x) its length);
handle:KIND;
callback:NAME. E is an integer expression in C syntax over the other
parameters' names, integer literals, + - * / % ( ) ?: comparisons, min(a,b),
max(a,b), len(x), rows(x), cols(x) (the element count, row count and column
count of the Python array passed for parameter x).

TOKENS:
    <NAME      Python input name (default: the parameter name); <NAME.re and
               <NAME.im take the real and imaginary parts of one complex input
    >NAME      Python output name (default: the parameter name); >NAME.re and
               >NAME.im make one complex output of two real arrays; >- on an
               io array: the export only uses it as scratch (not returned)
    ?VALUE     default of a scalar input (a number), making it optional
    @NAME      the output holds NAME elements after the call (NAME an output
               or input scalar); the result is trimmed to them
    =EXPR      value of a size parameter (rest of the line)
    !CODE      the status a null pointer here gives when the export checks it
               itself (a family's own code) instead of -20008

After the parameters, one optional line

      via N(ARG, ...)                 the Python function makes the same
                                      result with one call of export N,
                                      which writes NumPy's layout directly
                                      (an interleaved complex spectrum
                                      instead of two split arrays)

passes, for each of N's parameters in order, a Python input array or an
output of this row (their data as they are), a size parameter of this row,
an integer literal or null. The row still describes export N's own
signature; only the binding's call differs.
"""

from __future__ import annotations

import dataclasses
import os
import re
from typing import Optional

ROLES = {"in", "in?", "in~", "out", "out?", "out~", "io", "state", "size", "null", "alloc", "release", "state~"}
RETURNS = {"status", "f64", "discard", "void", "str"}
SCALARS = {"f64": "double", "i32": "int32_t", "i64": "int64_t"}
ARRAY_TYPES = {"f64": "double", "i32": "int32_t", "i64": "int64_t", "c128": "double"}
EXPR_OK = re.compile(r"^[A-Za-z0-9_+\-*/%()?:<>=!&|, ]+$")
EXPR_FUNCS = {"min", "max", "len", "rows", "cols"}


class TableError(Exception):
  pass


@dataclasses.dataclass
class Param:
  name: str
  role: str
  kind: str  # scalar, pointer, array, handle, callback
  base: str  # f64 i32 i64 c128, handle kind or callback type
  shape: list  # expressions (arrays)
  py_in: Optional[str] = None
  py_in_part: Optional[str] = None  # re / im
  py_out: Optional[str] = None
  py_out_part: Optional[str] = None
  default: Optional[str] = None
  trim: Optional[str] = None
  expr: Optional[str] = None
  line: int = 0
  nullable: bool = False  # in~ out~ state~: null allowed in C, always passed by the binding
  null_status: Optional[int] = None  # !CODE

  def c_type(self, handles) -> str:
    """The C parameter type this row stands for (const-ness as an input)."""
    if self.kind == "scalar":
      return SCALARS[self.base]
    if self.kind == "callback":
      return self.base
    if self.kind == "text":
      return ("const " if self.role in ("in", "in?") else "") + "char*"
    if self.kind == "handle":
      ctype = handles[self.base].ctype
      return ("const " if self.role in ("in", "in?") else "") + ctype + "*"
    elem = ARRAY_TYPES[self.base]
    if self.role == "alloc":
      return elem + "**"
    if self.role in ("in", "in?"):
      return "const " + elem + "*"
    return elem + "*"


@dataclasses.dataclass
class Handle:
  kind: str
  ctype: str
  destroy: int
  exclusive: bool


@dataclasses.dataclass
class Export:
  number: int
  name: str
  ret: str
  params: list
  module: str
  file: str
  line: int
  doc: str = ""
  via: Optional[tuple] = None  # (number, [argument]) of the export the binding calls

  @property
  def symbol(self) -> str:
    return "ZMXFunc%d" % self.number


@dataclasses.dataclass
class Table:
  exports: list
  handles: dict
  modules: list

  def by_number(self):
    return {e.number: e for e in self.exports}


def _parse_type(text, where):
  t = re.match(r"^char\[(.*)\]$", text)
  if t:
    _check_expr(t.group(1), where)
    return "text", "char", [t.group(1).strip()]
  m = re.match(r"^(\*?)(f64|i32|i64|c128)(?:\[(.*)\])?$", text)
  if text.startswith("handle:"):
    return "handle", text[7:], []
  if text.startswith("callback:"):
    return "callback", text[9:], []
  if not m:
    raise TableError("%s: unknown type %r" % (where, text))
  star, base, dims = m.groups()
  if star:
    if dims is not None:
      raise TableError("%s: bad pointer type %r" % (where, text))
    return "pointer", base, []
  if dims is None:
    if base == "c128":
      raise TableError("%s: complex scalars are two f64 with <name.re/<name.im" % where)
    return "scalar", base, []
  shape = [d.strip() for d in _split_top(dims)]
  if not 1 <= len(shape) <= 2 or any(not d for d in shape):
    raise TableError("%s: bad shape %r" % (where, text))
  for d in shape:
    _check_expr(d, where)
  return "array", base, shape


def _split_top(text):
  parts, depth, cur = [], 0, ""
  for ch in text:
    if ch == "," and depth == 0:
      parts.append(cur)
      cur = ""
      continue
    depth += ch == "("
    depth -= ch == ")"
    cur += ch
  parts.append(cur)
  return parts


def _check_expr(expr, where):
  if not EXPR_OK.match(expr):
    raise TableError("%s: characters not allowed in expression %r" % (where, expr))


def expr_names(expr):
  """Parameter names an expression refers to (function names excluded)."""
  names = set()
  for m in re.finditer(r"([A-Za-z_][A-Za-z0-9_]*)(\s*\()?", expr):
    word, call = m.group(1), m.group(2)
    if call and word in EXPR_FUNCS:
      continue
    names.add(word)
  return names


def parse_file(path, handles, modules):
  exports = []
  module = os.path.splitext(os.path.basename(path))[0]
  current = None
  with open(path, encoding="utf-8") as f:
    lines = f.read().split("\n")
  pending_doc = []
  for no, raw in enumerate(lines, 1):
    where = "%s:%d" % (os.path.basename(path), no)
    text = raw.split("#", 1)[0].rstrip() if not raw.lstrip().startswith("##") else ""
    if raw.lstrip().startswith("##"):
      pending_doc.append(raw.lstrip()[2:].strip())
      continue
    if not text.strip():
      continue
    indented = raw[0] in " \t"
    words = text.split()
    if not indented:
      current = None
      if words[0] == "module":
        if len(words) != 2:
          raise TableError("%s: module NAME" % where)
        module = words[1]
        if module not in modules:
          modules.append(module)
      elif words[0] == "handle":
        if len(words) < 4 or not words[3].startswith("destroy="):
          raise TableError("%s: handle KIND CTYPE destroy=N [exclusive]" % where)
        handles[words[1]] = Handle(words[1], words[2], int(words[3][8:]), "exclusive" in words[4:])
      elif words[0] == "export":
        if len(words) not in (3, 5) or (len(words) == 5 and words[3] != "->"):
          raise TableError("%s: export N name [-> RET]" % where)
        ret = words[4] if len(words) == 5 else "status"
        if ret not in RETURNS and not ret.startswith("handle:"):
          raise TableError("%s: unknown result %r" % (where, ret))
        current = Export(int(words[1]), words[2], ret, [], module, path, no,
                         " ".join(pending_doc))
        pending_doc = []
        if module not in modules:
          modules.append(module)
        exports.append(current)
      else:
        raise TableError("%s: unknown item %r" % (where, words[0]))
      continue
    if current is None:
      raise TableError("%s: parameter outside an export" % where)
    if words[0] == "via":
      m = re.match(r"^via\s+(\d+)\s*\((.*)\)$", text.strip())
      if not m or current.via is not None:
        raise TableError("%s: via N(ARG, ...), once per export" % where)
      current.via = (int(m.group(1)), [a.strip() for a in m.group(2).split(",")])
      continue
    if len(words) < 3:
      raise TableError("%s: NAME ROLE TYPE [tokens]" % where)
    name, role = words[0], words[1]
    if role not in ROLES:
      raise TableError("%s: unknown role %r" % (where, role))
    after = text.split(None, 2)[2]
    if "[" in after.split()[0]:
      close = after.find("]")
      if close < 0:
        raise TableError("%s: unclosed [ in the type" % where)
      typ, rest = after[:close + 1], after[close + 1:]
    else:
      typ, _, rest = after.partition(" ")
    kind, base, shape = _parse_type(typ, where)
    # in~, out~ and state~ are in, out and state to every reader but the fuzzer.
    p = Param(name, role.rstrip("~"), kind, base, shape, line=no, nullable=role.endswith("~"))
    while rest:
      rest = rest.strip()
      if rest.startswith("="):
        p.expr = rest[1:].strip()
        _check_expr(p.expr, where)
        break
      tok, _, rest = rest.partition(" ")
      if tok.startswith("<") or tok.startswith(">"):
        nm, _, part = tok[1:].partition(".")
        if part not in ("", "re", "im"):
          raise TableError("%s: part must be re or im in %r" % (where, tok))
        if tok[0] == "<":
          p.py_in, p.py_in_part = nm, part or None
        else:
          p.py_out, p.py_out_part = nm, part or None
      elif tok.startswith("?"):
        p.default = tok[1:]
      elif tok.startswith("@"):
        p.trim = tok[1:]
      elif tok.startswith("!"):
        if not re.match(r"^-[0-9]+$", tok[1:]):
          raise TableError("%s: !CODE takes a negative status, not %r" % (where, tok))
        p.null_status = int(tok[1:])
      else:
        raise TableError("%s: unknown token %r" % (where, tok))
    _validate_param(p, where)
    current.params.append(p)
  return exports


def _validate_param(p, where):
  if p.role == "size":
    if p.kind not in ("scalar", "pointer") or p.base not in ("i32", "i64") or not p.expr:
      raise TableError("%s: a size is i32, i64, *i32 or *i64 with =EXPR" % where)
  elif p.expr is not None:
    raise TableError("%s: only sizes take =EXPR" % where)
  if p.kind == "text" and p.role not in ("in", "io"):
    raise TableError("%s: text is an input or in place" % where)
  if p.role in ("state", "alloc") and p.kind != "array" or p.role == "io" and p.kind not in (
      "array", "text", "pointer") or (
      p.kind == "text" and p.role in ("state", "alloc")):
    raise TableError("%s: %s needs an array type" % (where, p.role))
  if p.role in ("out", "out?") and p.kind not in ("array", "pointer"):
    raise TableError("%s: outputs are arrays or pointers" % where)
  if p.kind == "scalar" and p.role not in ("in", "size"):
    raise TableError("%s: scalars by value are inputs or sizes" % where)
  if p.role == "release" and p.kind != "handle":
    raise TableError("%s: release takes a handle" % where)
  if p.default is not None and not (p.kind in ("scalar", "pointer") and
                                    p.role in ("in", "in?", "io")):
    raise TableError("%s: only scalar inputs take a default" % where)
  if p.role == "in" and p.kind == "pointer" and p.default is None:
    pass
  if p.null_status is not None and (p.role != "in" or p.kind not in ("array", "pointer")):
    raise TableError("%s: !CODE belongs to a required input pointer" % where)
  if p.py_in_part and p.kind == "array" and p.base == "c128":
    raise TableError("%s: a c128 array is already complex" % where)
  if p.role not in ("in", "in?", "io", "state") and p.py_in is not None:
    raise TableError("%s: < on a parameter that is not an input" % where)
  if p.role not in ("out", "out?", "io", "alloc") and p.py_out is not None:
    raise TableError("%s: > on a parameter that is not an output" % where)


def load(sig_dir):
  handles, modules, exports = {}, [], []
  for fn in sorted(os.listdir(sig_dir)):
    if fn.endswith(".sig"):
      exports += parse_file(os.path.join(sig_dir, fn), handles, modules)
  table = Table(exports, handles, modules)
  _validate_table(table)
  return table


def _validate_table(table):
  seen_n, seen_name = {}, {}
  for e in table.exports:
    where = "%s:%d" % (os.path.basename(e.file), e.line)
    if e.number in seen_n:
      raise TableError("%s: export %d listed twice" % (where, e.number))
    if e.name in seen_name:
      raise TableError("%s: Python name %s used twice" % (where, e.name))
    if not re.match(r"^[a-z][a-z0-9_]*$", e.name):
      raise TableError("%s: %s is not snake_case" % (where, e.name))
    seen_n[e.number] = seen_name[e.name] = e
    names = {p.name for p in e.params}
    if e.ret.startswith("handle:") and e.ret[7:] not in table.handles:
      raise TableError("%s: unknown handle kind %s" % (where, e.ret[7:]))
    for p in e.params:
      if p.kind == "handle" and p.base not in table.handles:
        raise TableError("%s: unknown handle kind %s" % (where, p.base))
      for expr in p.shape + ([p.expr] if p.expr else []):
        for nm in expr_names(expr):
          if nm not in names:
            raise TableError("%s: %s refers to unknown parameter %s" % (where, p.name, nm))
      if p.trim and p.trim not in names:
        raise TableError("%s: @%s is not a parameter" % (where, p.trim))
  by_number = table.by_number()
  for e in table.exports:
    if e.via is None:
      continue
    where = "%s:%d" % (os.path.basename(e.file), e.line)
    target = by_number.get(e.via[0])
    if target is None or target.via is not None:
      raise TableError("%s: via %d is not a row of its own" % (where, e.via[0]))
    if len(e.via[1]) != len(target.params):
      raise TableError("%s: via %d takes %d arguments" % (where, e.via[0], len(target.params)))


# ---------------------------------------------------------------------------
# The public headers' prototypes.

_DECL = re.compile(r"^([A-Za-z_][A-Za-z0-9_ ]*?[\s*]+)ZMXFunc(\d+)\s*\(([^;]*?)\)\s*;", re.M | re.S)


def header_prototypes(include_dir):
  """{number: (return type, [(c type, name)], comment)} of every declared export."""
  protos = {}
  folder = os.path.join(include_dir, "qmanlys")
  for fn in sorted(os.listdir(folder)):
    if not fn.endswith(".h"):
      continue
    with open(os.path.join(folder, fn), encoding="utf-8") as f:
      text = f.read()
    for m in _DECL.finditer(text):
      ret = _norm(m.group(1))
      params = []
      args = " ".join(m.group(3).split())
      if args and args != "void":
        for a in args.split(","):
          a = a.strip()
          mm = re.match(r"^(.*?)([A-Za-z_][A-Za-z0-9_]*)$", a)
          params.append((_norm(mm.group(1)), mm.group(2)))
      start = text.rfind("*/", 0, m.start())
      comment = ""
      if start >= 0 and not text[start + 2:m.start()].strip():
        open_at = text.rfind("/*", 0, start)
        comment = " ".join(text[open_at + 2:start].replace("*", " ").split())
      protos[int(m.group(2))] = (ret, params, comment)
  return protos


def _norm(ctype):
  t = " ".join(ctype.replace("*", " * ").split())
  return t.replace(" *", "*").replace("* ", "*").strip()


def check_against_headers(table, include_dir):
  """Problems between the table and the headers, as a list of messages."""
  protos = header_prototypes(include_dir)
  problems = []
  listed = table.by_number()
  for number in sorted(set(protos) - set(listed)):
    problems.append("ZMXFunc%d is declared in the headers but missing from the table" % number)
  for number in sorted(set(listed) - set(protos)):
    problems.append("ZMXFunc%d is in the table but not declared in the headers" % number)
  for number in sorted(set(protos) & set(listed)):
    e, (ret, params, _) = listed[number], protos[number]
    want_ret = {"status": "int32_t", "f64": "double", "discard": "double", "void": "void",
                "str": "const char*"}.get(e.ret)
    if e.ret.startswith("handle:"):
      want_ret = table.handles[e.ret[7:]].ctype + "*"
    if _norm(want_ret) != ret:
      problems.append("%s: result %s in the header, %s in the table" % (e.symbol, ret, e.ret))
    if [n for _, n in params] != [p.name for p in e.params]:
      problems.append("%s: parameters (%s) in the header, (%s) in the table" % (
          e.symbol, ", ".join(n for _, n in params), ", ".join(p.name for p in e.params)))
      continue
    for (ctype, _), p in zip(params, e.params):
      mine = _norm(p.c_type(table.handles))
      ok = mine == ctype
      # An input the export does not change may still be declared non-const
      # (the binding then hands it a private copy); a constant handle may be
      # released through a mutable one.
      if not ok and mine.startswith("const ") and mine[6:] == ctype:
        ok = True
      if not ok and p.role == "release" and ctype == "void*":
        ok = True
      if not ok and p.role in ("null",) and ctype.endswith("*"):
        ok = True
      # An input read through a const pointer may be the in-place result of
      # the export when its optional output is passed as null (io + null).
      if (not ok and p.role == "io" and ctype == "const " + mine and
          any(q.role == "null" for q in e.params)):
        ok = True
      if not ok:
        problems.append("%s: %s is %s in the header, %s in the table" % (
            e.symbol, p.name, ctype, mine))
  return problems, protos
