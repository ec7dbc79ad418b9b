#!/usr/bin/env python3
"""Generates the Python binding from the table of export signatures.

    generate.py --sig DIR --include DIR --out DIR     write the C++ sources and
                                                      the family modules
    generate.py --sig DIR --include DIR --check       compare the table with the
                                                      headers and exit non-zero
                                                      on any difference

Written into --out: bindings_<module>.cpp (one wrapper per export),
bindings_index.cpp (the method tables and the export list) and
qmanlys/<module>.py plus qmanlys/_families.py. Standard library only.
"""

import argparse
import keyword
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import signatures as sig  # noqa: E402

ELEM = {"f64": "qmpy::Elem::f64", "i32": "qmpy::Elem::i32", "i64": "qmpy::Elem::i64",
        "c128": "qmpy::Elem::c128"}
CTYPE = {"f64": "double", "i32": "int32_t", "i64": "int64_t", "c128": "double"}


def snake(name):
  """A C parameter name as a Python one: inputState -> input_state, X -> x."""
  if name.isupper() and len(name) <= 2:
    out = name.lower()
  else:
    out = re.sub(r"(?<=[a-z0-9])([A-Z])", r"_\1", name).lower()
  return out + "_" if keyword.iskeyword(out) else out


class Gen:
  def __init__(self, e, table, protos):
    self.e = e
    self.t = table
    self.proto = protos[e.number]
    self.lines = []
    self.fn = e.name
    self.params = {p.name: p for p in e.params}

  def w(self, text, indent=1):
    self.lines.append("  " * indent + text)

  # -- names ---------------------------------------------------------------
  def py_in(self, p):
    return p.py_in or snake(p.name)

  def py_out(self, p):
    if p.py_out:
      return p.py_out
    return snake(p.name)

  def c_nonconst(self, p):
    ctype = dict((n, t) for t, n in self.proto[1])[p.name]
    return ctype.endswith("*") and not ctype.startswith("const")

  # -- expressions -----------------------------------------------------------
  def expr(self, text):
    def sub(m):
      word, call = m.group(1), m.group(2)
      if call:
        if word in ("min", "max"):
          return "std::%s<int64_t>(" % word
      if word not in self.params:
        raise sig.TableError("%s: unknown name %s in %r" % (self.e.symbol, word, text))
      q = self.params[word]
      if q.role in ("out", "out?") and q.kind == "pointer":
        return "static_cast<int64_t>(o_%s)" % word  # a count the export writes (after the call)
      if q.base == "f64":
        return "v_%s" % word
      return "static_cast<int64_t>(v_%s)" % word  # 64-bit arithmetic: no int32 overflow
    # len(x), rows(x), cols(x): the array's dimensions, named by the C parameter.
    text = re.sub(r"\b(len|rows|cols)\s*\(\s*([A-Za-z_][A-Za-z0-9_]*)\s*\)",
                  lambda m: "#%s_%s" % ({"len": "L", "rows": "R", "cols": "C"}[m.group(1)],
                                        m.group(2)), text)
    out = re.sub(r"(?<![#\w])([A-Za-z_][A-Za-z0-9_]*)(\s*\()?", sub, text)
    return "static_cast<int64_t>(%s)" % out.replace("#", "")

  # -- structure ---------------------------------------------------------------
  def plan(self):
    e = self.e
    self.inputs = []   # python input names, in order
    self.in_info = {}  # name -> dict(kind, elem, ndim, optional, params)
    self.outputs = []
    self.out_info = {}
    for p in e.params:
      if p.role in ("in", "in?", "io", "state", "release"):
        name = self.py_in(p)
        info = self.in_info.get(name)
        if info is None:
          info = {"params": [], "optional": p.role == "in?" or p.default is not None,
                  "default": p.default}
          self.in_info[name] = info
          self.inputs.append(name)
        info["params"].append(p)
        if p.py_in_part:
          info["kind"] = "complex_array" if p.kind == "array" else "complex_scalar"
        else:
          info["kind"] = p.kind if p.role != "state" else "state"
        if p.role == "release":
          info["kind"] = "release"
      if p.role in ("out", "out?", "io", "alloc") and p.py_out != "-":
        name = self.py_out(p)
        info = self.out_info.get(name)
        if info is None:
          info = {"params": [], "optional": p.role == "out?"}
          self.out_info[name] = info
          self.outputs.append(name)
        info["params"].append(p)
        if p.py_out_part:
          info["kind"] = "complex_array" if p.kind == "array" else "complex_scalar"
        elif p.role == "alloc":
          info["kind"] = "alloc"
        else:
          info["kind"] = p.kind
    # keyword names of the outputs
    self.out_kw = {}
    array_outs = [o for o in self.outputs if self.out_info[o]["kind"] in
                  ("array", "complex_array")]
    for o in self.outputs:
      kw = o
      if o in self.in_info:
        kw = "out" if len(self.outputs) == 1 else o + "_out"
      self.out_kw[o] = kw
    self.alias = None
    if len(array_outs) == 1 and "out" not in self.out_kw.values() and "out" not in self.in_info:
      self.alias = array_outs[0]
    self.kw = list(self.inputs) + [self.out_kw[o] for o in self.outputs if self.has_kw(o)]
    if self.alias:
      self.kw.append("out")
    self.slot = {n: i for i, n in enumerate(self.kw)}

  def has_kw(self, o):
    """Outputs a caller can name: arrays (to write into) and optional ones."""
    info = self.out_info[o]
    if info["kind"] in ("alloc", "text"):
      return False
    return info["kind"] in ("array", "complex_array") or info["optional"]

  def emit(self):
    e = self.e
    self.plan()
    fn = self.fn
    self.w("static PyObject* w_%s(PyObject*, PyObject* const* args, Py_ssize_t nargs, "
           "PyObject* kwnames) {" % fn, 0)
    nk = max(len(self.kw), 1)
    self.w("static const char* const kw[] = {%s};" % ", ".join(
        ['"%s"' % k for k in self.kw] or ["nullptr"]))
    self.w("PyObject* a[%d] = {};" % nk)
    self.w('if (!qmpy::ParseArgs("%s", args, nargs, kwnames, kw, %d, %d, a)) return nullptr;'
           % (fn, len(self.kw), len(self.inputs)))
    pre = []
    if self.elementwise():
      pre = self.emit_elementwise()
      self.w("if (qmpy::AnyArray(a, %d)) return v_%s(a);" % (len(self.inputs), fn))
    # inputs
    for name in self.inputs:
      info = self.in_info[name]
      s = self.slot[name]
      kind = info["kind"]
      p0 = info["params"][0]
      if kind in ("array", "complex_array", "state"):
        elem = "c128" if kind == "complex_array" else p0.base
        nd = len(p0.shape)
        self.w("qmpy::Array in_%s;" % name)
        if info["optional"]:
          self.w("if (a[%d] != nullptr && a[%d] != Py_None) {" % (s, s))
          ind = 2
        else:
          self.w('if (a[%d] == nullptr) return qmpy::Missing("%s", "%s"), nullptr;' % (s, fn, name))
          ind = 1
        method = "State" if kind == "state" else "Input"
        self.w('if (!in_%s.%s(a[%d], %s, %d, "%s", "%s")) return nullptr;' % (
            name, method, s, ELEM[elem], nd, fn, name), ind)
        if kind == "array" and p0.role in ("in", "in?") and self.c_nonconst(p0):
          self.w("if (!in_%s.MakePrivate()) return nullptr;" % name, ind)
        if info["optional"]:
          self.w("}")
        for p in info["params"]:
          self.w("const int64_t L_%s = in_%s.Size(), R_%s = in_%s.Rows(), C_%s = in_%s.Cols();"
                 % (p.name, name, p.name, name, p.name, name))
          self.w("(void)L_%s; (void)R_%s; (void)C_%s;" % (p.name, p.name, p.name))
      elif kind == "text":
        self.w("qmpy::Text in_%s;" % name)
        self.w('if (a[%d] == nullptr) return qmpy::Missing("%s", "%s"), nullptr;' % (s, fn, name))
        self.w('if (!in_%s.Input(a[%d], "%s", "%s")) return nullptr;' % (name, s, fn, name))
        self.w("const int64_t L_%s = in_%s.Size();" % (p0.name, name))
        self.w("(void)L_%s;" % p0.name)
      elif kind == "pointer" and p0.base == "c128":
        self.w("double v_%s[2] = {0, 0};" % p0.name)
        if p0.role == "in?":
          self.w("const bool has_%s = a[%d] != nullptr && a[%d] != Py_None;" % (p0.name, s, s))
          self.w('if (has_%s && !qmpy::ToComplex(a[%d], "%s", "%s", &v_%s[0], &v_%s[1])) '
                 'return nullptr;' % (p0.name, s, fn, name, p0.name, p0.name))
        else:
          self.w('if (a[%d] == nullptr) return qmpy::Missing("%s", "%s"), nullptr;' % (s, fn, name))
          self.w('if (!qmpy::ToComplex(a[%d], "%s", "%s", &v_%s[0], &v_%s[1])) return nullptr;'
                 % (s, fn, name, p0.name, p0.name))
      elif kind == "scalar" or kind == "pointer":
        ctype = CTYPE[p0.base]
        conv = {"f64": "ToDouble", "i32": "ToInt32", "i64": "ToInt64"}[p0.base]
        init = p0.default if p0.default is not None else "0"
        self.w("%s v_%s = %s;" % (ctype, p0.name, init))
        if kind == "pointer" and p0.role == "in?" and p0.default is None:
          self.w("const bool has_%s = a[%d] != nullptr && a[%d] != Py_None;" % (p0.name, s, s))
          self.w('if (has_%s && !qmpy::%s(a[%d], "%s", "%s", &v_%s)) return nullptr;' % (
              p0.name, conv, s, fn, name, p0.name))
        elif info["optional"]:
          self.w('if (a[%d] != nullptr && !qmpy::%s(a[%d], "%s", "%s", &v_%s)) return nullptr;'
                 % (s, conv, s, fn, name, p0.name))
        else:
          self.w('if (a[%d] == nullptr) return qmpy::Missing("%s", "%s"), nullptr;' % (s, fn, name))
          self.w('if (!qmpy::%s(a[%d], "%s", "%s", &v_%s)) return nullptr;' % (
              conv, s, fn, name, p0.name))
      elif kind == "complex_scalar":
        re_p = [p for p in info["params"] if p.py_in_part == "re"]
        im_p = [p for p in info["params"] if p.py_in_part == "im"]
        if len(re_p) != 1 or len(im_p) != 1:
          raise sig.TableError("%s: %s needs one .re and one .im" % (e.symbol, name))
        r, i = re_p[0].name, im_p[0].name
        self.w("double v_%s = 0, v_%s = 0;" % (r, i))
        if info["optional"]:
          raise sig.TableError("%s: optional complex scalars are not supported" % e.symbol)
        self.w('if (a[%d] == nullptr) return qmpy::Missing("%s", "%s"), nullptr;' % (s, fn, name))
        self.w('if (!qmpy::ToComplex(a[%d], "%s", "%s", &v_%s, &v_%s)) return nullptr;' % (
            s, fn, name, r, i))
      elif kind == "handle":
        self.w("qmpy::HandleUse h_%s;" % p0.name)
        self.w('if (!h_%s.Acquire(a[%d], &kind_%s, %s, "%s", "%s")) return nullptr;' % (
            p0.name, s, p0.base, "true" if info["optional"] else "false", fn, name))
      elif kind == "callback":
        self.w("qmpy::ModelScope m_%s;" % p0.name)
        self.w('if (a[%d] == nullptr) return qmpy::Missing("%s", "%s"), nullptr;' % (s, fn, name))
        self.w('if (!m_%s.Begin(a[%d], "%s", "%s")) return nullptr;' % (p0.name, s, fn, name))
      elif kind == "release":
        self.w('if (a[%d] == nullptr) return qmpy::Missing("%s", "%s"), nullptr;' % (s, fn, name))
        self.w('if (!qmpy::ReleaseHandle(a[%d], "%s", "%s")) return nullptr;' % (s, fn, name))
        self.w("Py_RETURN_NONE;")
        self.w("}", 0)
        return self.lines
      else:
        raise sig.TableError("%s: cannot bind input %s" % (e.symbol, name))
    # sizes, in dependency order
    sizes = [p for p in e.params if p.role == "size"]
    done = set()
    while sizes:
      progress = False
      for p in list(sizes):
        deps = sig.expr_names(p.expr) & {q.name for q in e.params if q.role == "size"}
        if deps <= done:
          ctype = CTYPE[p.base]
          self.w("const int64_t s_%s = %s;" % (p.name, self.expr(p.expr)))
          if p.base == "i32":
            self.w("int32_t v_%s = 0;" % p.name)
            self.w("if (!qmpy::Narrow32(s_%s, &v_%s)) return nullptr;" % (p.name, p.name))
          elif p.kind == "pointer":
            self.w("if (s_%s > INT32_MAX) return qmpy::RaiseStatus(-20046), nullptr;" % p.name)
            self.w("int64_t v_%s = s_%s;  // rewritten by the export" % (p.name, p.name))
          else:
            # Every size the library takes is narrowed to 32 bits: refuse it
            # here, before any output is allocated or input copied.
            self.w("if (s_%s > INT32_MAX) return qmpy::RaiseStatus(-20046), nullptr;" % p.name)
            self.w("const %s v_%s = s_%s;" % (ctype, p.name, p.name))
          done.add(p.name)
          sizes.remove(p)
          progress = True
      if not progress:
        raise sig.TableError("%s: sizes depend on each other in a circle" % e.symbol)
    # input shape checks
    for name in self.inputs:
      info = self.in_info[name]
      if info["kind"] not in ("array", "complex_array", "state"):
        continue
      p0 = info["params"][0]
      dims = ", ".join(self.expr(d) for d in p0.shape)
      trivial = all(re.fullmatch(r"(len|rows|cols)\(%s\)" % p0.name, d.strip())
                    for d in p0.shape)
      if trivial:
        continue
      self.w("{")
      self.w("const int64_t d[] = {%s};" % dims, 2)
      self.w('if (!in_%s.CheckShape(%d, d, "%s", "%s")) return nullptr;' % (
          name, len(p0.shape), fn, name), 2)
      self.w("}")
    # outputs
    for o in self.outputs:
      info = self.out_info[o]
      kind = info["kind"]
      p0 = info["params"][0]
      if kind == "alloc":
        self.w("%s* b_%s = nullptr;" % (CTYPE[p0.base], p0.name))
        continue
      kw = self.out_kw[o]
      if not self.has_kw(o):
        if kind in ("pointer", "complex_scalar"):
          self.declare_scalar_output(kind, info)
        elif kind == "text":
          self.w("qmpy::TextBuffer out_%s;" % o)
          self.w('if (!out_%s.Allocate(in_%s, %s)) return nullptr;' % (
              o, self.py_in(p0), self.expr(p0.shape[0])))
        continue
      given = "a[%d]" % self.slot[kw]
      if self.alias == o:
        given = "(a[%d] ? a[%d] : a[%d])" % (self.slot[kw], self.slot[kw], self.slot["out"])
      self.w("PyObject* const g_%s = %s;" % (o, given))
      if info["optional"]:
        self.w("const bool want_%s = qmpy::Requested(g_%s);" % (o, o))
      if kind in ("array", "complex_array"):
        elem = "c128" if kind == "complex_array" else p0.base
        self.w("qmpy::Array out_%s;" % o)
        cond = "want_%s" % o if info["optional"] else "true"
        self.w("if (%s) {" % cond)
        self.w("const int64_t d[] = {%s};" % ", ".join(self.expr(d) for d in p0.shape), 2)
        self.w('if (!out_%s.Output(g_%s, %s, %d, d, "%s", "%s")) return nullptr;' % (
            o, o, ELEM[elem], len(p0.shape), fn, kw), 2)
        self.w("}")
      else:
        self.declare_scalar_output(kind, info)
    # the C arguments
    symbol = e.symbol
    if e.via is not None:
      symbol, call_args = self.via_call()
    else:
      call_args = []
      for p in e.params:
        call_args.append(self.bind(p))
      self.emit_splits()
    # result and call
    ret = e.ret
    rtype = {"status": "int32_t", "f64": "double", "str": "const char*"}.get(ret)
    if ret.startswith("handle:"):
      rtype = "%s*" % self.t.handles[ret[7:]].ctype
    rdecl = "r = " if rtype else ("(void)" if ret == "discard" else "")
    if rtype:
      self.w("%s r{};" % rtype)
    self.w("Py_BEGIN_ALLOW_THREADS")
    self.w("%s%s(%s);" % (rdecl, symbol, ", ".join(call_args)), 2)
    self.w("Py_END_ALLOW_THREADS")
    for p in e.params:
      if p.kind == "callback":
        self.w("if (!m_%s.Finish()) return nullptr;" % p.name)
    if ret == "status":
      # library-allocated blocks are released on every path
      allocs = [p for p in e.params if p.role == "alloc"]
      if allocs:
        self.w("if (r < 0) {")
        for p in allocs:
          self.w("ZMXFunc234(b_%s);" % p.name, 2)
        self.w("return qmpy::RaiseStatus(r), nullptr;", 2)
        self.w("}")
      self.w("if (!qmpy::CheckStatus(r)) {")
      for p in allocs:
        self.w("ZMXFunc234(b_%s);" % p.name, 2)
      self.w("return nullptr;", 2)
      self.w("}")
    # scatter temps back
    for line in self.after:
      self.w(line)
    # build the result
    items = []
    if ret == "f64":
      items.append("PyFloat_FromDouble(r)")
    elif ret == "str":
      items.append("PyUnicode_FromString(r ? r : \"\")")
    elif ret.startswith("handle:"):
      items.append('qmpy::NewHandle(r, &kind_%s, "%s")' % (ret[7:], fn))
    cond_items = []
    for o in self.outputs:
      info = self.out_info[o]
      kind = info["kind"]
      p0 = info["params"][0]
      if kind in ("array", "complex_array"):
        trim = next((p.trim for p in info["params"] if p.trim), None)
        if trim:
          item = "qmpy::Trim(out_%s, %s)" % (o, self.value_of(trim))
        else:
          item = "out_%s.Take()" % o
      elif kind == "alloc":
        item = "qmpy::FromLibraryBlock(b_%s, %s, %s)" % (
            p0.name, ELEM[p0.base], self.expr(p0.shape[0]) if not p0.trim else
            self.value_of(p0.trim))
      elif kind == "pointer" and p0.base == "c128":
        item = "PyComplex_FromDoubles(o_%s[0], o_%s[1])" % (p0.name, p0.name)
      elif kind == "pointer":
        item = ("PyFloat_FromDouble(%s_%s)" if p0.base == "f64" else
                "PyLong_FromLongLong(%s_%s)") % ("v" if p0.role == "io" else "o", p0.name)
      elif kind == "text":
        item = "PyUnicode_DecodeUTF8(out_%s.data(), std::strlen(out_%s.data()), \"replace\")" % (o, o)
      elif kind == "complex_scalar":
        re_p = [p for p in info["params"] if p.py_out_part == "re"][0]
        im_p = [p for p in info["params"] if p.py_out_part == "im"][0]
        item = "PyComplex_FromDoubles(o_%s, o_%s)" % (re_p.name, im_p.name)
      cond_items.append((item, "want_%s" % o if info["optional"] else None))
    self.w("PyObject* items[%d] = {};" % max(len(items) + len(cond_items), 1))
    self.w("int count = 0;")
    for it in items:
      self.w("items[count++] = %s;" % it)
    for it, cond in cond_items:
      if cond:
        self.w("if (%s) items[count++] = %s;" % (cond, it))
      else:
        self.w("items[count++] = %s;" % it)
    self.w("return qmpy::Result(items, count);")
    self.w("}", 0)
    return pre + self.lines

  # -- element-wise form of scalar functions ------------------------------------
  def elementwise(self):
    """Scalar functions (scalar inputs, scalar outputs) also take arrays."""
    e = self.e
    if e.ret not in ("f64", "discard", "status"):
      return False
    for p in e.params:
      if p.role == "in" and p.kind == "scalar" and p.base in ("f64", "i32") and not p.py_in_part:
        continue
      if p.role == "in?" and p.kind == "pointer" and p.base == "f64" and p.default is None:
        continue
      if p.role == "out" and p.kind == "pointer" and p.base == "f64" and not p.py_out_part:
        continue
      return False
    return any(p.role in ("in", "in?") for p in e.params)

  def emit_elementwise(self):
    e, fn = self.e, self.fn
    ins = [p for p in e.params if p.role in ("in", "in?")]
    outs = [p for p in e.params if p.role == "out"]
    nout = len(outs) + (1 if e.ret == "f64" else 0)
    lines = ["static int32_t e_%s(char* const* in, double* out) {" % fn]
    args = []
    for k, p in enumerate(ins):
      if p.kind == "scalar":
        ctype = CTYPE[p.base]
        lines.append("  const %s v_%s = *reinterpret_cast<const %s*>(in[%d]);" % (
            ctype, p.name, ctype, k))
        args.append("v_%s" % p.name)
      else:
        args.append("reinterpret_cast<const double*>(in[%d])" % k)
    for p in outs:
      lines.append("  double o_%s = 0;" % p.name)
    call_args = []
    it = iter(args)
    for p in e.params:
      call_args.append(next(it) if p.role in ("in", "in?") else "&o_%s" % p.name)
    call = "%s(%s)" % (e.symbol, ", ".join(call_args))
    j = 0
    if e.ret == "f64":
      lines.append("  out[0] = %s;" % call)
      j = 1
    elif e.ret == "discard":
      lines.append("  (void)%s;" % call)
    else:
      lines.append("  const int32_t r = %s;" % call)
    for p in outs:
      lines.append("  out[%d] = o_%s;" % (j, p.name))
      j += 1
    lines.append("  return %s;" % ("r" if e.ret == "status" else "0"))
    lines.append("}")
    lines.append("")
    kinds = ", ".join("qmpy::Elem::%s" % (p.base if p.kind == "scalar" else "f64") for p in ins)
    optional = ", ".join("true" if p.role == "in?" else "false" for p in ins)
    names = ", ".join('"%s"' % self.py_in(p) for p in ins)
    lines.append("static PyObject* v_%s(PyObject** a) {" % fn)
    lines.append("  static const qmpy::Elem kinds[] = {%s};" % kinds)
    lines.append("  static const bool optional[] = {%s};" % optional)
    lines.append("  static const char* const names[] = {%s};" % names)
    lines.append('  return qmpy::Elementwise("%s", a, %d, kinds, optional, names, %d, e_%s);' % (
        fn, len(ins), nout, fn))
    lines.append("}")
    lines.append("")
    return lines

  def declare_scalar_output(self, kind, info):
    """The local a pointer output (or a complex pair of them) is written into."""
    p0 = info["params"][0]
    if kind == "pointer" and p0.role == "io":
      return  # the input's own variable carries the result
    if kind == "pointer" and p0.base == "c128":
      self.w("double o_%s[2] = {0, 0};" % p0.name)
    elif kind == "pointer":
      self.w("%s o_%s = 0;" % (CTYPE[p0.base], p0.name))
    elif kind == "complex_scalar":
      for p in info["params"]:
        self.w("double o_%s = 0;" % p.name)

  def value_of(self, name):
    p = self.params[name]
    if p.role in ("out", "out?") and p.kind == "pointer":
      return "o_%s" % name
    return "static_cast<int64_t>(v_%s)" % name

  def bind(self, p):
    """The C argument for parameter p (and the copying it needs)."""
    if not hasattr(self, "after"):
      self.after, self.gathers, self.scatters = [], [], []
    if p.role == "null":
      return "nullptr"
    if p.role == "size":
      return ("&v_%s" if p.kind == "pointer" else "v_%s") % p.name
    if p.kind == "scalar":
      return "v_%s" % p.name
    if p.kind == "callback":
      return "qmpy::FitModelTrampoline"
    if p.kind == "handle":
      return "static_cast<%s*>(h_%s.pointer())" % (self.t.handles[p.base].ctype, p.name)
    if p.kind == "pointer":
      amp = "" if p.base == "c128" else "&"
      if p.role == "io":
        return "&v_%s" % p.name
      if p.role in ("in", "in?"):
        if p.role == "in?" and p.default is None:
          return "(has_%s ? %sv_%s : nullptr)" % (p.name, amp, p.name)
        return "%sv_%s" % (amp, p.name)
      o = self.py_out(p)
      if self.out_info[o]["optional"]:
        return "(want_%s ? %so_%s : nullptr)" % (o, amp, p.name)
      return "%so_%s" % (amp, p.name)
    if p.role == "alloc":
      return "&b_%s" % p.name
    if p.kind == "text":
      if p.role == "io":
        return "out_%s.data()" % self.py_out(p)
      return "in_%s.data()" % self.py_in(p)
    ctype = CTYPE[p.base]
    cast = "reinterpret_cast<%s*>" % ctype
    count = " * ".join("(%s)" % self.expr(d) for d in p.shape)
    doubles = count if p.base != "c128" else "2 * (%s)" % count
    in_name = self.py_in(p) if p.role in ("in", "in?", "io", "state") else None
    in_split = p.py_in_part
    out_name = self.py_out(p) if p.role in ("out", "out?", "io") else None
    if out_name == "-":
      out_name = None
    out_split = p.py_out_part
    direct_in = in_name is not None and not in_split
    direct_out = out_name is not None and not out_split
    if p.role in ("in", "in?", "state") and direct_in:
      return "%s(in_%s.Data())" % (cast, in_name)
    if p.role in ("out", "out?") and direct_out:
      o = out_name
      if self.out_info[o]["optional"]:
        return "(want_%s ? %s(out_%s.Data()) : nullptr)" % (o, cast, o)
      return "%s(out_%s.Data())" % (cast, o)
    if p.role == "io" and direct_in and direct_out:
      self.w("if (in_%s.Present()) qmpy::CopyInto(in_%s, out_%s);" % (in_name, in_name, out_name))
      return "%s(out_%s.Data())" % (cast, out_name)
    # through a scratch buffer
    if p.base not in ("f64",):
      raise sig.TableError("%s: %s: only real parts can be split" % (self.e.symbol, p.name))
    opt_out = out_name is not None and self.out_info[out_name]["optional"]
    self.w("qmpy::Buffer t_%s;" % p.name)
    cond = "want_%s" % out_name if opt_out and in_name is None else "true"
    if in_name is not None and self.in_info[in_name]["optional"]:
      cond = "in_%s.Present()" % in_name
    self.w("if (%s && !t_%s.Allocate(%s)) return nullptr;" % (cond, p.name, doubles))
    if in_name is not None:
      if in_split:
        self.gathers.append((in_name, 0 if in_split == "re" else 1, p.name, doubles))
      else:
        self.w("if (in_%s.Present()) qmpy::CopyInto(in_%s, t_%s.data(), %s);" % (
            in_name, in_name, p.name, doubles))
    if out_name is not None:
      guard = "if (want_%s) " % out_name if opt_out else ""
      if out_split:
        self.scatters.append((guard, out_name, 0 if out_split == "re" else 1, p.name, doubles))
      else:
        self.after.append("%sqmpy::CopyOut(t_%s.data(), out_%s, %s);" % (
            guard, p.name, out_name, doubles))
    return "t_%s.data()" % p.name

  def via_call(self):
    """The export the row's `via` line names and its arguments: the Python
    arrays' own data (inputs only where that export reads them), sizes,
    literals and null."""
    number, args = self.e.via
    target = self.t.by_number()[number]
    sizes = {p.name for p in self.e.params if p.role == "size" and p.kind == "scalar"}
    self.after = []
    out = []
    for a, q in zip(args, target.params):
      where = "%s: via %d: %s" % (self.e.symbol, number, q.name)
      if a == "null":
        if q.kind not in ("array", "handle") or q.role not in ("in?", "out?", "null"):
          raise sig.TableError("%s cannot be null" % where)
        out.append("nullptr")
      elif re.fullmatch(r"-?[0-9]+", a):
        if q.kind != "scalar":
          raise sig.TableError("%s takes no literal" % where)
        out.append(a)
      elif a in sizes:
        out.append("v_%s" % a)
      elif q.kind == "array" and a in self.in_info and q.role in ("in", "in?"):
        out.append("reinterpret_cast<%s*>(in_%s.Data())" % (CTYPE[q.base], a))
      elif (q.kind == "array" and a in self.out_info and q.role in ("out", "io") and
            not self.out_info[a]["optional"]):
        out.append("reinterpret_cast<%s*>(out_%s.Data())" % (CTYPE[q.base], a))
      else:
        raise sig.TableError("%s: cannot pass %s" % (where, a))
    return target.symbol, out

  def emit_splits(self):
    """The copies between complex arrays and split parts: one pass for a pair."""
    if not hasattr(self, "gathers"):
      return
    done = set()
    for i, (name, part, temp, count) in enumerate(self.gathers):
      if i in done:
        continue
      mate = next((j for j, g in enumerate(self.gathers) if j != i and j not in done and
                   g[0] == name and g[1] != part and g[3] == count), None)
      if mate is not None:
        done.add(mate)
        re_t, im_t = (temp, self.gathers[mate][2]) if part == 0 else (self.gathers[mate][2], temp)
        self.w("if (in_%s.Present()) qmpy::Deinterleave(in_%s, t_%s.data(), t_%s.data(), %s);"
               % (name, name, re_t, im_t, count))
      else:
        self.w("if (in_%s.Present()) qmpy::GatherPart(in_%s, %d, t_%s.data(), %s);" % (
            name, name, part, temp, count))
    done = set()
    for i, (guard, name, part, temp, count) in enumerate(self.scatters):
      if i in done:
        continue
      mate = next((j for j, g in enumerate(self.scatters) if j != i and j not in done and
                   g[1] == name and g[2] != part and g[4] == count and g[0] == guard), None)
      if mate is not None:
        done.add(mate)
        re_t, im_t = (temp, self.scatters[mate][3]) if part == 0 else (self.scatters[mate][3], temp)
        self.after.append("%sqmpy::Interleave(t_%s.data(), t_%s.data(), out_%s, %s);" % (
            guard, re_t, im_t, name, count))
      else:
        self.after.append("%sqmpy::ScatterPart(t_%s.data(), out_%s, %d, %s);" % (
            guard, temp, name, part, count))

  def signature_text(self):
    parts, nullable = [], []
    for i, n in enumerate(self.inputs):
      info = self.in_info[n]
      later_required = any(not self.in_info[m]["optional"] for m in self.inputs[i + 1:])
      if info["optional"] and not later_required:
        d = info["default"] if info["default"] is not None else "None"
        parts.append("%s=%s" % (n, d))
      else:
        parts.append(n)
        if info["optional"] and info["default"] is None:
          nullable.append(n)
    outs = [self.out_kw[o] for o in self.outputs if self.has_kw(o)]
    if outs:
      parts.append("*")
      parts += ["%s=None" % k for k in outs]
    sig_text = "%s(%s)" % (self.fn, ", ".join(parts))
    rets = [o + ("?" if self.out_info[o]["optional"] else "") for o in self.outputs]
    if self.e.ret in ("f64",):
      rets.insert(0, "value")
    if self.e.ret.startswith("handle:"):
      rets.insert(0, self.e.ret[7:])
    text = sig_text + (" -> " + ", ".join(rets) if rets else "")
    if nullable:
      text += "\n\n%s may be None." % " and ".join(nullable)
    return text


def c_string(text):
  return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n") + '"'


def generate(table, protos, out_dir):
  os.makedirs(os.path.join(out_dir, "qmanlys"), exist_ok=True)
  written = []
  for module in table.modules:
    exports = [e for e in table.exports if e.module == module]
    if not exports:
      continue
    body = ["// Generated by python/generate.py from the export signature table. Do not edit.",
            '#include "runtime.h"', "", "#include <algorithm>", "#include <cstring>", "",
            "namespace {", ""]
    kinds = sorted({p.base for e in exports for p in e.params if p.kind == "handle"} |
                   {e.ret[7:] for e in exports if e.ret.startswith("handle:")})
    for k in kinds:
      h = table.handles[k]
      body.append("void destroy_%s(void* p) { ZMXFunc%d(static_cast<%s*>(p)); }" % (
          k, h.destroy, h.ctype if h.destroy not in (234, 238) else "void"))
      body.append('const qmpy::HandleKind kind_%s = {"%s", destroy_%s, %s};' % (
          k, k, k, "true" if h.exclusive else "false"))
    body.append("")
    docs = []
    for e in sorted(exports, key=lambda e: e.name):
      g = Gen(e, table, protos)
      body += g.emit()
      body.append("")
      comment = protos[e.number][2]
      doc = g.signature_text() + "\n--\n\n" if False else g.signature_text() + "\n\n"
      doc += (e.doc + "\n\n" if e.doc else "") + comment + "\n\n(export %s%s)" % (
          e.symbol, "" if e.via is None else ", computed by ZMXFunc%d" % e.via[0])
      docs.append((e, doc))
    body.append("}  // namespace")
    body.append("")
    body.append("namespace qmpy {")
    body.append("PyMethodDef methods_%s[] = {" % module)
    for e, doc in docs:
      body.append("    {\"%s\", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(w_%s)), "
                  "METH_FASTCALL | METH_KEYWORDS, %s}," % (e.name, e.name, c_string(doc)))
    body.append("    {nullptr, nullptr, 0, nullptr}};")
    body.append("}  // namespace qmpy")
    path = os.path.join(out_dir, "bindings_%s.cpp" % module)
    _write(path, "\n".join(body) + "\n")
    written.append(path)
    names = sorted(e.name for e in exports)
    py = ['"""%s functions of qmanlys (generated from the export signature table)."""' % module,
          "", "from ._qmanlys import (  # noqa: F401"]
    py += ["    %s," % n for n in names]
    py += [")", "", "__all__ = ["] + ['    "%s",' % n for n in names] + ["]", ""]
    _write(os.path.join(out_dir, "qmanlys", module + ".py"), "\n".join(py))
  idx = ["// Generated by python/generate.py. Do not edit.", '#include "runtime.h"', "",
         "namespace qmpy {"]
  mods = [m for m in table.modules if any(e.module == m for e in table.exports)]
  for m in mods:
    idx.append("extern PyMethodDef methods_%s[];" % m)
  idx.append("extern PyMethodDef* const method_tables[];")
  idx.append("PyMethodDef* const method_tables[] = {%s};" % ", ".join(
      ["methods_%s" % m for m in mods] + ["nullptr"]))
  idx.append("extern const ExportInfo export_table[];")
  idx.append("const ExportInfo export_table[] = {")
  for e in sorted(table.exports, key=lambda e: e.number):
    idx.append('    {"%s", "%s", %d},' % (e.name, e.module, e.number))
  idx.append("    {nullptr, nullptr, 0}};")
  idx.append("}  // namespace qmpy")
  _write(os.path.join(out_dir, "bindings_index.cpp"), "\n".join(idx) + "\n")
  _write(os.path.join(out_dir, "qmanlys", "_families.py"),
         '"""Family modules (generated)."""\n\nFAMILIES = [%s]\n' % ", ".join(
             '"%s"' % m for m in mods))
  return written


def _write(path, text):
  if os.path.exists(path):
    with open(path, encoding="utf-8") as f:
      if f.read() == text:
        return
  with open(path, "w", encoding="utf-8") as f:
    f.write(text)


def main():
  ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
  ap.add_argument("--sig", required=True)
  ap.add_argument("--include", required=True)
  ap.add_argument("--out")
  ap.add_argument("--check", action="store_true")
  ap.add_argument("--partial", action="store_true",
                  help="do not require every declared export to be in the table")
  args = ap.parse_args()
  try:
    table = sig.load(args.sig)
    problems, protos = sig.check_against_headers(table, args.include)
  except sig.TableError as err:
    print("signature table: %s" % err, file=sys.stderr)
    return 1
  if args.partial:
    problems = [p for p in problems if "missing from the table" not in p]
  for p in problems:
    print("signature table: %s" % p, file=sys.stderr)
  if problems:
    return 1
  if args.check:
    print("signature table: %d exports agree with the headers" % len(table.exports))
    return 0
  try:
    generate(table, protos, args.out)
  except sig.TableError as err:
    print("signature table: %s" % err, file=sys.stderr)
    return 1
  return 0


if __name__ == "__main__":
  sys.exit(main())
