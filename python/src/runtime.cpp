// Run-time support of the generated binding and the module's initialisation.
#define QMPY_IMPORT_ARRAY
#include "runtime.h"

#include <cmath>
#include <limits>

namespace qmpy {

PyObject* ErrorType = nullptr;
PyObject* WarningType = nullptr;
static PyObject* warn_function = nullptr;  // warnings.warn

static PyObject* MakeCoded(PyObject* type, int32_t code) {
  const char* message = ZMXFunc240(code);
  PyObject* instance = PyObject_CallFunction(type, "s", message);
  if (instance == nullptr) return nullptr;
  PyObject* value = PyLong_FromLong(code);
  if (value == nullptr || PyObject_SetAttrString(instance, "code", value) < 0) {
    Py_XDECREF(value);
    Py_DECREF(instance);
    return nullptr;
  }
  Py_DECREF(value);
  return instance;
}

bool RaiseStatus(int32_t code) {
  PyObject* instance = MakeCoded(ErrorType, code);
  if (instance != nullptr) {
    PyErr_SetObject(ErrorType, instance);
    Py_DECREF(instance);
  }
  return false;
}

bool CheckStatus(int32_t status) {
  if (status == 0) return true;
  if (status < 0) return RaiseStatus(status);
  PyObject* instance = MakeCoded(WarningType, status);
  if (instance == nullptr) return false;
  PyObject* result = PyObject_CallFunction(warn_function, "Oi", instance, 2);
  Py_DECREF(instance);
  if (result == nullptr) return false;
  Py_DECREF(result);
  return true;
}

bool Narrow32(int64_t value, int32_t* out) {
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
    return RaiseStatus(-20046);
  *out = static_cast<int32_t>(value);
  return true;
}

bool Missing(const char* function, const char* arg) {
  PyErr_Format(PyExc_TypeError, "%s() missing required argument '%s'", function, arg);
  return false;
}

bool ParseArgs(const char* function, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
               const char* const* names, int count, int positional, PyObject** slots) {
  if (nargs > positional) {
    PyErr_Format(PyExc_TypeError, "%s() takes at most %d positional arguments (%zd given)",
                 function, positional, nargs);
    return false;
  }
  for (Py_ssize_t i = 0; i < nargs; ++i) slots[i] = args[i];
  if (kwnames == nullptr) return true;
  Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
  for (Py_ssize_t k = 0; k < nkw; ++k) {
    const char* key = PyUnicode_AsUTF8(PyTuple_GET_ITEM(kwnames, k));
    if (key == nullptr) return false;
    int found = -1;
    for (int i = 0; i < count; ++i) {
      if (std::strcmp(key, names[i]) == 0) {
        found = i;
        break;
      }
    }
    if (found < 0) {
      PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%s'", function, key);
      return false;
    }
    if (slots[found] != nullptr) {
      PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument '%s'", function, key);
      return false;
    }
    slots[found] = args[nargs + k];
  }
  return true;
}

bool ToDouble(PyObject* value, const char* function, const char* arg, double* out) {
  if (PyFloat_CheckExact(value)) {
    *out = PyFloat_AS_DOUBLE(value);
    return true;
  }
  if (PyComplex_Check(value) || !PyNumber_Check(value)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be a real number, not %.100s", function, arg,
                 Py_TYPE(value)->tp_name);
    return false;
  }
  double v = PyFloat_AsDouble(value);
  if (v == -1.0 && PyErr_Occurred()) return false;
  *out = v;
  return true;
}

bool ToInt64(PyObject* value, const char* function, const char* arg, int64_t* out) {
  PyObject* index = PyNumber_Index(value);
  if (index == nullptr) {
    PyErr_Clear();
    PyErr_Format(PyExc_TypeError, "%s(): %s must be an integer, not %.100s", function, arg,
                 Py_TYPE(value)->tp_name);
    return false;
  }
  int overflow = 0;
  long long v = PyLong_AsLongLongAndOverflow(index, &overflow);
  Py_DECREF(index);
  if (overflow != 0) {
    PyErr_Format(PyExc_OverflowError, "%s(): %s does not fit in 64 bits", function, arg);
    return false;
  }
  if (v == -1 && PyErr_Occurred()) return false;
  *out = v;
  return true;
}

bool ToInt32(PyObject* value, const char* function, const char* arg, int32_t* out) {
  int64_t v = 0;
  if (!ToInt64(value, function, arg, &v)) return false;
  if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) {
    PyErr_Format(PyExc_OverflowError, "%s(): %s does not fit in 32 bits", function, arg);
    return false;
  }
  *out = static_cast<int32_t>(v);
  return true;
}

bool ToComplex(PyObject* value, const char* function, const char* arg, double* re, double* im) {
  if (!PyNumber_Check(value)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be a number, not %.100s", function, arg,
                 Py_TYPE(value)->tp_name);
    return false;
  }
  Py_complex c = PyComplex_AsCComplex(value);
  if (c.real == -1.0 && PyErr_Occurred()) return false;
  *re = c.real;
  *im = c.imag;
  return true;
}

bool Requested(PyObject* value) {
  return value != nullptr && value != Py_None && value != Py_False;
}

bool WantsArray(PyObject* value) { return Requested(value) && value != Py_True; }

// ---- Arrays -----------------------------------------------------------------------
static int TypeNumber(Elem elem) {
  switch (elem) {
    case Elem::f64: return NPY_DOUBLE;
    case Elem::i32: return NPY_INT32;
    case Elem::i64: return NPY_INT64;
    case Elem::c128: return NPY_CDOUBLE;
  }
  return NPY_DOUBLE;
}

static const char* ElemName(Elem elem) {
  switch (elem) {
    case Elem::f64: return "float64";
    case Elem::i32: return "int32";
    case Elem::i64: return "int64";
    case Elem::c128: return "complex128";
  }
  return "?";
}

static bool KindAccepted(char kind, Elem elem) {
  switch (elem) {
    case Elem::f64: return kind == 'b' || kind == 'i' || kind == 'u' || kind == 'f';
    case Elem::c128: return kind == 'b' || kind == 'i' || kind == 'u' || kind == 'f' || kind == 'c';
    default: return kind == 'b' || kind == 'i' || kind == 'u';
  }
}

static PyObject* ShapeText(PyArrayObject* a) {
  PyObject* shape = PyObject_GetAttrString(reinterpret_cast<PyObject*>(a), "shape");
  if (shape == nullptr) return nullptr;
  PyObject* text = PyObject_Repr(shape);
  Py_DECREF(shape);
  return text;
}

static PyObject* DimsText(int ndim, const int64_t* dims) {
  if (ndim == 1) return PyUnicode_FromFormat("(%lld,)", static_cast<long long>(dims[0]));
  return PyUnicode_FromFormat("(%lld, %lld)", static_cast<long long>(dims[0]),
                              static_cast<long long>(dims[1]));
}

bool Array::Input(PyObject* value, Elem elem, int ndim, const char* function, const char* arg) {
  PyArrayObject* any = nullptr;
  if (PyArray_Check(value)) {
    any = reinterpret_cast<PyArrayObject*>(value);
    Py_INCREF(any);
  } else {
    any = reinterpret_cast<PyArrayObject*>(PyArray_FROM_O(value));
    if (any == nullptr) return false;
  }
  char kind = PyArray_DESCR(any)->kind;
  if (!KindAccepted(kind, elem)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be an array of %s, not of %s", function, arg,
                 ElemName(elem), PyArray_DESCR(any)->typeobj->tp_name);
    Py_DECREF(any);
    return false;
  }
  if (ndim >= 0 && PyArray_NDIM(any) != ndim) {
    PyObject* shape = ShapeText(any);
    PyErr_Format(PyExc_ValueError, "%s(): %s must be a %d-D array, got shape %U", function, arg,
                 ndim, shape);
    Py_XDECREF(shape);
    Py_DECREF(any);
    return false;
  }
  int type = TypeNumber(elem);
  if ((elem == Elem::i32 || elem == Elem::i64) && PyArray_TYPE(any) != type &&
      PyArray_SIZE(any) > 0) {
    // Integer arrays: refuse values the C type cannot hold instead of wrapping.
    PyObject* lo = PyArray_Min(any, NPY_MAXDIMS, nullptr);
    PyObject* hi = lo ? PyArray_Max(any, NPY_MAXDIMS, nullptr) : nullptr;
    bool fits = false;
    if (hi != nullptr) {
      int overflow = 0;
      long long a = PyLong_AsLongLongAndOverflow(lo, &overflow);
      int overflow2 = 0;
      long long b = PyLong_AsLongLongAndOverflow(hi, &overflow2);
      if (!PyErr_Occurred() && overflow == 0 && overflow2 == 0) {
        fits = elem == Elem::i64 || (a >= std::numeric_limits<int32_t>::min() &&
                                     b <= std::numeric_limits<int32_t>::max());
      }
      PyErr_Clear();
    }
    Py_XDECREF(lo);
    Py_XDECREF(hi);
    if (!fits) {
      PyErr_Format(PyExc_OverflowError, "%s(): %s holds values outside %s", function, arg,
                   ElemName(elem));
      Py_DECREF(any);
      return false;
    }
  }
  PyObject* cast = PyArray_FromArray(any, PyArray_DescrFromType(type),
                                     NPY_ARRAY_IN_ARRAY | NPY_ARRAY_FORCECAST);
  Py_DECREF(any);
  if (cast == nullptr) return false;
  array_ = reinterpret_cast<PyArrayObject*>(cast);
  return true;
}

bool Array::State(PyObject* value, Elem elem, int ndim, const char* function, const char* arg) {
  if (!PyArray_Check(value)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be a numpy array of %s (it is updated in place)",
                 function, arg, ElemName(elem));
    return false;
  }
  PyArrayObject* a = reinterpret_cast<PyArrayObject*>(value);
  if (PyArray_TYPE(a) != TypeNumber(elem) || !PyArray_IS_C_CONTIGUOUS(a) ||
      !PyArray_ISWRITEABLE(a) || !PyArray_ISALIGNED(a) || PyArray_NDIM(a) != ndim) {
    PyErr_Format(PyExc_TypeError,
                 "%s(): %s must be a writable C-contiguous %d-D array of %s (it is updated in "
                 "place)",
                 function, arg, ndim, ElemName(elem));
    return false;
  }
  Py_INCREF(a);
  array_ = a;
  return true;
}

constexpr npy_intp kZeroedOutputElements = 65536;

bool Array::Output(PyObject* given, Elem elem, int ndim, const int64_t* dims,
                   const char* function, const char* arg) {
  npy_intp shape[2];
  for (int i = 0; i < ndim; ++i) {
    // A count beyond 32 bits is refused by the library before it reads or
    // writes anything: refuse it before allocating, with the same status.
    if (dims[i] > std::numeric_limits<int32_t>::max()) return RaiseStatus(-20046);
    shape[i] = dims[i] < 0 ? 0 : static_cast<npy_intp>(dims[i]);
  }
  if (given == nullptr || given == Py_None || given == Py_True) {
    // Small outputs start zeroed, so an export that writes nothing (an empty
    // operand) never hands back uninitialised memory; large ones, which every
    // successful export writes, skip the pass over memory that zeroing costs.
    npy_intp elements = 1;
    for (int i = 0; i < ndim; ++i) elements *= shape[i];
    PyObject* a = elements <= kZeroedOutputElements
                      ? PyArray_ZEROS(ndim, shape, TypeNumber(elem), 0)
                      : PyArray_SimpleNew(ndim, shape, TypeNumber(elem));
    if (a == nullptr) return false;
    array_ = reinterpret_cast<PyArrayObject*>(a);
    fresh = true;
    return true;
  }
  if (!PyArray_Check(given)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be a numpy array of %s", function, arg,
                 ElemName(elem));
    return false;
  }
  PyArrayObject* a = reinterpret_cast<PyArrayObject*>(given);
  if (PyArray_TYPE(a) != TypeNumber(elem) || !PyArray_IS_C_CONTIGUOUS(a) ||
      !PyArray_ISWRITEABLE(a) || !PyArray_ISALIGNED(a)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be a writable C-contiguous array of %s",
                 function, arg, ElemName(elem));
    return false;
  }
  bool same = PyArray_NDIM(a) == ndim;
  for (int i = 0; same && i < ndim; ++i) same = PyArray_DIM(a, i) == shape[i];
  if (!same) {
    PyObject* have = ShapeText(a);
    PyObject* want = DimsText(ndim, dims);
    PyErr_Format(PyExc_ValueError, "%s(): %s has shape %U, expected %U", function, arg, have,
                 want);
    Py_XDECREF(have);
    Py_XDECREF(want);
    return false;
  }
  Py_INCREF(a);
  array_ = a;
  return true;
}

bool Array::MakePrivate() {
  if (array_ == nullptr) return true;
  PyObject* copy = PyArray_NewCopy(array_, NPY_CORDER);
  if (copy == nullptr) return false;
  Py_DECREF(array_);
  array_ = reinterpret_cast<PyArrayObject*>(copy);
  return true;
}

int64_t Array::Rows() const {
  if (array_ == nullptr) return 0;
  return PyArray_NDIM(array_) >= 1 ? PyArray_DIM(array_, 0) : 1;
}

int64_t Array::Cols() const {
  if (array_ == nullptr) return 0;
  return PyArray_NDIM(array_) >= 2 ? PyArray_DIM(array_, 1) : 1;
}

bool Array::CheckShape(int ndim, const int64_t* dims, const char* function,
                       const char* arg) const {
  if (array_ == nullptr) return true;
  bool same = PyArray_NDIM(array_) == ndim;
  for (int i = 0; same && i < ndim; ++i) same = PyArray_DIM(array_, i) == dims[i];
  if (same) return true;
  PyObject* have = ShapeText(array_);
  PyObject* want = DimsText(ndim, dims);
  PyErr_Format(PyExc_ValueError, "%s(): %s has shape %U, expected %U", function, arg, have, want);
  Py_XDECREF(have);
  Py_XDECREF(want);
  return false;
}

PyObject* Array::Take() {
  PyObject* a = reinterpret_cast<PyObject*>(array_);
  array_ = nullptr;
  return a;
}

// Per-thread cache of scratch blocks: a few slots, each keeping the largest
// block it lent (up to kKeepBytes) for the next call on the thread.
namespace {
constexpr int kSlots = 4;
constexpr size_t kKeepBytes = size_t{256} << 20;
struct ScratchCache {
  double* block[kSlots] = {};
  size_t capacity[kSlots] = {};  // doubles
  bool lent[kSlots] = {};
  ~ScratchCache() {
    for (int i = 0; i < kSlots; ++i) std::free(block[i]);
  }
};
thread_local ScratchCache scratch_cache;
}  // namespace

bool Buffer::Allocate(int64_t doubles) {
  if (doubles < 1) doubles = 1;
  if (static_cast<uint64_t>(doubles) > SIZE_MAX / sizeof(double)) {
    PyErr_NoMemory();
    return false;
  }
  const size_t need = static_cast<size_t>(doubles);
  ScratchCache& cache = scratch_cache;
  if (need * sizeof(double) <= kKeepBytes) {
    int best = -1;
    for (int i = 0; i < kSlots; ++i) {
      if (cache.lent[i]) continue;
      if (cache.capacity[i] >= need) {
        best = i;
        break;
      }
      if (best < 0 || cache.capacity[i] > cache.capacity[best]) best = i;
    }
    if (best >= 0) {
      if (cache.capacity[best] < need) {
        std::free(cache.block[best]);
        cache.block[best] = static_cast<double*>(std::malloc(need * sizeof(double)));
        cache.capacity[best] = cache.block[best] ? need : 0;
      }
      if (cache.block[best] != nullptr) {
        cache.lent[best] = true;
        slot_ = best;
        data_ = cache.block[best];
        return true;
      }
    }
  }
  data_ = static_cast<double*>(std::malloc(need * sizeof(double)));
  if (data_ == nullptr) {
    PyErr_NoMemory();
    return false;
  }
  return true;
}

Buffer::~Buffer() {
  if (slot_ >= 0) {
    scratch_cache.lent[slot_] = false;
  } else {
    std::free(data_);
  }
}

bool Text::Input(PyObject* value, const char* function, const char* arg) {
  if (!PyUnicode_Check(value)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be a str, not %.100s", function, arg,
                 Py_TYPE(value)->tp_name);
    return false;
  }
  Py_ssize_t size = 0;
  const char* text = PyUnicode_AsUTF8AndSize(value, &size);
  if (text == nullptr) return false;
  if (std::strlen(text) != static_cast<size_t>(size)) {
    PyErr_Format(PyExc_ValueError, "%s(): %s must not contain NUL characters", function, arg);
    return false;
  }
  keep_ = value;
  text_ = text;
  size_ = size;
  return true;
}

bool TextBuffer::Allocate(const Text& from, int64_t room) {
  if (room < from.Size() + 1) room = from.Size() + 1;
  data_ = static_cast<char*>(std::calloc(static_cast<size_t>(room), 1));
  if (data_ == nullptr) {
    PyErr_NoMemory();
    return false;
  }
  std::memcpy(data_, from.data(), static_cast<size_t>(from.Size()));
  return true;
}

void GatherPart(const Array& complex, int part, double* to, int64_t count) {
  const double* from = complex.Doubles();
  int64_t have = complex.Size();
  for (int64_t i = 0; i < count; ++i) to[i] = i < have ? from[2 * i + part] : 0.0;
}

void ScatterPart(const double* from, Array& complex, int part, int64_t count) {
  double* to = complex.Doubles();
  int64_t have = complex.Size();
  for (int64_t i = 0; i < count && i < have; ++i) to[2 * i + part] = from[i];
}

void Deinterleave(const Array& complex, double* re, double* im, int64_t count) {
  const double* from = complex.Doubles();
  const int64_t have = complex.Size() < count ? complex.Size() : count;
  for (int64_t i = 0; i < have; ++i) {
    re[i] = from[2 * i];
    im[i] = from[2 * i + 1];
  }
  for (int64_t i = have; i < count; ++i) re[i] = im[i] = 0.0;
}

void Interleave(const double* re, const double* im, Array& complex, int64_t count) {
  double* to = complex.Doubles();
  const int64_t have = complex.Size() < count ? complex.Size() : count;
  for (int64_t i = 0; i < have; ++i) {
    to[2 * i] = re[i];
    to[2 * i + 1] = im[i];
  }
}

void CopyInto(const Array& from, Array& to) {
  if (from.Data() == to.Data()) return;
  int64_t bytes = PyArray_NBYTES(from.Get());
  int64_t room = PyArray_NBYTES(to.Get());
  std::memmove(to.Data(), from.Data(), static_cast<size_t>(bytes < room ? bytes : room));
}

void CopyInto(const Array& from, double* to, int64_t doubles) {
  int64_t bytes = PyArray_NBYTES(from.Get());
  int64_t room = doubles * static_cast<int64_t>(sizeof(double));
  std::memcpy(to, from.Data(), static_cast<size_t>(bytes < room ? bytes : room));
}

void CopyOut(const double* from, Array& to, int64_t doubles) {
  int64_t room = PyArray_NBYTES(to.Get());
  int64_t bytes = doubles * static_cast<int64_t>(sizeof(double));
  std::memcpy(to.Data(), from, static_cast<size_t>(bytes < room ? bytes : room));
}

PyObject* Trim(Array& array, int64_t count) {
  int64_t size = array.Size();
  if (count < 0) count = 0;
  if (count >= size) return array.Take();
  PyObject* whole = array.Take();
  PyObject* part = PySequence_GetSlice(whole, 0, static_cast<Py_ssize_t>(count));
  if (part != nullptr && array.fresh) {
    PyObject* copy = PyArray_NewCopy(reinterpret_cast<PyArrayObject*>(part), NPY_CORDER);
    Py_DECREF(part);
    part = copy;
  }
  Py_DECREF(whole);
  return part;
}

PyObject* FromLibraryBlock(void* block, Elem elem, int64_t count) {
  if (count < 0 || block == nullptr) count = 0;
  npy_intp dims[1] = {static_cast<npy_intp>(count)};
  PyObject* a = PyArray_SimpleNew(1, dims, TypeNumber(elem));
  if (a != nullptr && count > 0) {
    std::memcpy(PyArray_DATA(reinterpret_cast<PyArrayObject*>(a)), block,
                static_cast<size_t>(PyArray_NBYTES(reinterpret_cast<PyArrayObject*>(a))));
  }
  ZMXFunc234(block);
  return a;
}

PyObject* Result(PyObject** items, int count) {
  bool failed = false;
  for (int i = 0; i < count; ++i) failed = failed || items[i] == nullptr;
  if (failed) {
    for (int i = 0; i < count; ++i) Py_XDECREF(items[i]);
    return nullptr;
  }
  if (count == 0) Py_RETURN_NONE;
  if (count == 1) return items[0];
  PyObject* tuple = PyTuple_New(count);
  if (tuple == nullptr) {
    for (int i = 0; i < count; ++i) Py_DECREF(items[i]);
    return nullptr;
  }
  for (int i = 0; i < count; ++i) PyTuple_SET_ITEM(tuple, i, items[i]);
  return tuple;
}

bool AnyArray(PyObject* const* args, int count) {
  for (int i = 0; i < count; ++i) {
    PyObject* v = args[i];
    if (v != nullptr && (PyArray_Check(v) || PyList_Check(v) || PyTuple_Check(v))) return true;
  }
  return false;
}

PyObject* Elementwise(const char* function, PyObject** args, int inputs, const Elem* kinds,
                      const bool* optional, const char* const* names, int outputs,
                      int32_t (*element)(char* const* in, double* out)) {
  constexpr int kMax = 8;
  if (inputs > kMax || outputs > kMax) {
    PyErr_SetString(PyExc_SystemError, "too many element-wise arguments");
    return nullptr;
  }
  PyObject* arrays[kMax] = {};
  int slot[kMax];
  int present = 0;
  auto release = [&]() {
    for (int i = 0; i < present; ++i) Py_DECREF(arrays[i]);
  };
  for (int i = 0; i < inputs; ++i) {
    slot[i] = -1;
    if (args[i] == nullptr || args[i] == Py_None) {
      if (optional[i]) continue;
      release();
      Missing(function, names[i]);
      return nullptr;
    }
    Array a;
    if (!a.Input(args[i], kinds[i], -1, function, names[i])) {
      release();
      return nullptr;
    }
    slot[i] = present;
    arrays[present++] = a.Take();
  }
  PyArrayMultiIterObject* it = reinterpret_cast<PyArrayMultiIterObject*>(
      PyArray_MultiIterFromObjects(arrays, present, 0));
  if (it == nullptr) {
    release();
    return nullptr;
  }
  PyObject* results[kMax] = {};
  for (int j = 0; j < outputs; ++j) {
    results[j] = PyArray_SimpleNew(it->nd, it->dimensions, NPY_DOUBLE);
    if (results[j] == nullptr) {
      for (int k = 0; k < j; ++k) Py_DECREF(results[k]);
      Py_DECREF(it);
      release();
      return nullptr;
    }
  }
  int32_t worst = 0, warning = 0;
  npy_intp size = it->size;
  Py_BEGIN_ALLOW_THREADS
  char* in[kMax];
  double out[kMax];
  for (npy_intp e = 0; e < size; ++e) {
    for (int i = 0; i < inputs; ++i)
      in[i] = slot[i] < 0 ? nullptr : static_cast<char*>(PyArray_MultiIter_DATA(it, slot[i]));
    int32_t status = element(in, out);
    if (status < 0 && worst == 0) worst = status;
    if (status > 0 && warning == 0) warning = status;
    for (int j = 0; j < outputs; ++j)
      static_cast<double*>(PyArray_DATA(reinterpret_cast<PyArrayObject*>(results[j])))[e] = out[j];
    PyArray_MultiIter_NEXT(it);
  }
  Py_END_ALLOW_THREADS
  Py_DECREF(it);
  release();
  if (!CheckStatus(worst != 0 ? worst : warning)) {
    for (int j = 0; j < outputs; ++j) Py_DECREF(results[j]);
    return nullptr;
  }
  return Result(results, outputs);
}

// ---- Handles ------------------------------------------------------------------------
struct HandleObject {
  PyObject_HEAD
  void* pointer;
  const HandleKind* kind;
  int busy;
};

static void HandleFree(HandleObject* self) {
  if (self->pointer != nullptr) {
    void* p = self->pointer;
    self->pointer = nullptr;
    self->kind->destroy(p);
  }
}

static void HandleDealloc(PyObject* self) {
  HandleFree(reinterpret_cast<HandleObject*>(self));
  Py_TYPE(self)->tp_free(self);
}

static PyObject* HandleClose(PyObject* self, PyObject*) {
  HandleObject* h = reinterpret_cast<HandleObject*>(self);
  if (h->busy > 0) {
    PyErr_SetString(PyExc_RuntimeError, "the object is in use by a running call");
    return nullptr;
  }
  HandleFree(h);
  Py_RETURN_NONE;
}

static PyObject* HandleEnter(PyObject* self, PyObject*) {
  Py_INCREF(self);
  return self;
}

static PyObject* HandleExit(PyObject* self, PyObject*) {
  PyObject* r = HandleClose(self, nullptr);
  if (r == nullptr) return nullptr;
  Py_DECREF(r);
  Py_RETURN_FALSE;
}

static PyObject* HandleRepr(PyObject* self) {
  HandleObject* h = reinterpret_cast<HandleObject*>(self);
  return PyUnicode_FromFormat("<qmanlys.Handle %s%s>", h->kind ? h->kind->name : "?",
                              h->pointer ? "" : " (closed)");
}

static PyObject* HandleGetClosed(PyObject* self, void*) {
  return PyBool_FromLong(reinterpret_cast<HandleObject*>(self)->pointer == nullptr);
}

static PyObject* HandleGetKind(PyObject* self, void*) {
  HandleObject* h = reinterpret_cast<HandleObject*>(self);
  return PyUnicode_FromString(h->kind ? h->kind->name : "");
}

static PyMethodDef handle_methods[] = {
    {"close", HandleClose, METH_NOARGS, "Releases the object now (later calls refuse it)."},
    {"__enter__", HandleEnter, METH_NOARGS, nullptr},
    {"__exit__", HandleExit, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr}};

static PyGetSetDef handle_getset[] = {
    {"closed", HandleGetClosed, nullptr, "True once released.", nullptr},
    {"kind", HandleGetKind, nullptr, "The kind of object (FftPlan, IirCascade, ...).", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr}};

static PyTypeObject HandleType = {PyVarObject_HEAD_INIT(nullptr, 0)};

static bool InitHandleType() {
  HandleType.tp_name = "qmanlys.Handle";
  HandleType.tp_basicsize = sizeof(HandleObject);
  HandleType.tp_flags = Py_TPFLAGS_DEFAULT;
  HandleType.tp_doc =
      "An object the library made (a filter record, an FFT plan). It is released when closed, "
      "at the end of a with block, or when garbage collected.";
  HandleType.tp_dealloc = HandleDealloc;
  HandleType.tp_repr = HandleRepr;
  HandleType.tp_methods = handle_methods;
  HandleType.tp_getset = handle_getset;
  return PyType_Ready(&HandleType) == 0;
}

PyObject* NewHandle(void* pointer, const HandleKind* kind, const char* function) {
  if (pointer == nullptr) {
    PyErr_Format(PyExc_ValueError,
                 "%s(): the library made no %s (an argument out of range, or no memory)",
                 function, kind->name);
    return nullptr;
  }
  HandleObject* h = PyObject_New(HandleObject, &HandleType);
  if (h == nullptr) {
    kind->destroy(pointer);
    return nullptr;
  }
  h->pointer = pointer;
  h->kind = kind;
  h->busy = 0;
  return reinterpret_cast<PyObject*>(h);
}

static HandleObject* AsHandle(PyObject* value, const HandleKind* kind, const char* function,
                              const char* arg) {
  if (!PyObject_TypeCheck(value, &HandleType)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be a qmanlys.Handle, not %.100s", function, arg,
                 Py_TYPE(value)->tp_name);
    return nullptr;
  }
  HandleObject* h = reinterpret_cast<HandleObject*>(value);
  if (kind != nullptr && h->kind != kind) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be a %s handle, not %s", function, arg,
                 kind->name, h->kind->name);
    return nullptr;
  }
  if (h->pointer == nullptr) {
    PyErr_Format(PyExc_ValueError, "%s(): %s is closed", function, arg);
    return nullptr;
  }
  return h;
}

bool ReleaseHandle(PyObject* value, const char* function, const char* arg) {
  HandleObject* h = AsHandle(value, nullptr, function, arg);
  if (h == nullptr) return false;
  PyObject* r = HandleClose(value, nullptr);
  Py_XDECREF(r);
  return r != nullptr;
}

bool HandleUse::Acquire(PyObject* value, const HandleKind* kind, bool optional,
                        const char* function, const char* arg) {
  if (value == nullptr || value == Py_None) {
    if (optional) return true;
    return Missing(function, arg);
  }
  HandleObject* h = AsHandle(value, kind, function, arg);
  if (h == nullptr) return false;
  if (kind->exclusive && h->busy > 0) {
    PyErr_Format(PyExc_RuntimeError, "%s(): %s is in use by another thread", function, arg);
    return false;
  }
  ++h->busy;
  Py_INCREF(value);
  object_ = value;
  pointer_ = h->pointer;
  return true;
}

HandleUse::~HandleUse() {
  if (object_ != nullptr) {
    --reinterpret_cast<HandleObject*>(object_)->busy;
    Py_DECREF(object_);
  }
}

// ---- Model callbacks -----------------------------------------------------------------
struct ModelState {
  PyObject* callable;
  PyObject* error_type;
  PyObject* error_value;
  PyObject* error_trace;
};
static thread_local ModelState* current_model = nullptr;

bool ModelScope::Begin(PyObject* callable, const char* function, const char* arg) {
  if (!PyCallable_Check(callable)) {
    PyErr_Format(PyExc_TypeError, "%s(): %s must be callable as f(x, a)", function, arg);
    return false;
  }
  ModelState* state = new (std::nothrow) ModelState{callable, nullptr, nullptr, nullptr};
  if (state == nullptr) {
    PyErr_NoMemory();
    return false;
  }
  Py_INCREF(callable);
  saved_ = current_model;
  current_model = state;
  active_ = true;
  return true;
}

bool ModelScope::Finish() {
  ModelState* state = current_model;
  if (state != nullptr && state->error_type != nullptr) {
    PyErr_Restore(state->error_type, state->error_value, state->error_trace);
    state->error_type = state->error_value = state->error_trace = nullptr;
    return false;
  }
  return true;
}

ModelScope::~ModelScope() {
  if (!active_) return;
  ModelState* state = current_model;
  current_model = static_cast<ModelState*>(saved_);
  Py_XDECREF(state->error_type);
  Py_XDECREF(state->error_value);
  Py_XDECREF(state->error_trace);
  Py_DECREF(state->callable);
  delete state;
}

double FitModelTrampoline(double x, const double* a, int32_t m) {
  ModelState* state = current_model;
  if (state == nullptr) return std::numeric_limits<double>::quiet_NaN();
  PyGILState_STATE gil = PyGILState_Ensure();
  double value = std::numeric_limits<double>::quiet_NaN();
  if (state->error_type == nullptr) {
    npy_intp dims[1] = {m < 0 ? 0 : m};
    PyObject* view = PyArray_SimpleNewFromData(1, dims, NPY_DOUBLE, const_cast<double*>(a));
    if (view != nullptr) {
      PyArray_CLEARFLAGS(reinterpret_cast<PyArrayObject*>(view), NPY_ARRAY_WRITEABLE);
      PyObject* r = PyObject_CallFunction(state->callable, "dO", x, view);
      Py_DECREF(view);
      if (r != nullptr) {
        value = PyFloat_AsDouble(r);
        Py_DECREF(r);
      }
    }
    if (PyErr_Occurred()) {
      value = std::numeric_limits<double>::quiet_NaN();
      PyErr_Fetch(&state->error_type, &state->error_value, &state->error_trace);
    }
  }
  PyGILState_Release(gil);
  return value;
}

}  // namespace qmpy

// ---- The module ---------------------------------------------------------------------------
namespace qmpy {
extern PyMethodDef* const method_tables[];
extern const ExportInfo export_table[];
}  // namespace qmpy

static struct PyModuleDef module_definition = {
    PyModuleDef_HEAD_INIT, "qmanlys._qmanlys",
    "Compiled binding of libqmanlys: one function per export.", -1, nullptr,
    nullptr, nullptr, nullptr, nullptr};

PyMODINIT_FUNC PyInit__qmanlys(void) {
  import_array();
  if (!qmpy::InitHandleType()) return nullptr;
  PyObject* m = PyModule_Create(&module_definition);
  if (m == nullptr) return nullptr;
  PyObject* warnings = PyImport_ImportModule("warnings");
  if (warnings == nullptr) return nullptr;
  qmpy::warn_function = PyObject_GetAttrString(warnings, "warn");
  Py_DECREF(warnings);
  if (qmpy::warn_function == nullptr) return nullptr;
  qmpy::ErrorType = PyErr_NewExceptionWithDoc(
      "qmanlys.Error",
      "A call the library refused: .code is its status code, the message its own text.",
      PyExc_ValueError, nullptr);
  qmpy::WarningType = PyErr_NewExceptionWithDoc(
      "qmanlys.Warning",
      "A call that completed with a warning status: .code is the code, the message its text.",
      PyExc_UserWarning, nullptr);
  if (qmpy::ErrorType == nullptr || qmpy::WarningType == nullptr) return nullptr;
  Py_INCREF(qmpy::ErrorType);
  Py_INCREF(qmpy::WarningType);
  Py_INCREF(&qmpy::HandleType);
  if (PyModule_AddObject(m, "Error", qmpy::ErrorType) < 0 ||
      PyModule_AddObject(m, "Warning", qmpy::WarningType) < 0 ||
      PyModule_AddObject(m, "Handle", reinterpret_cast<PyObject*>(&qmpy::HandleType)) < 0)
    return nullptr;
  for (int i = 0; qmpy::method_tables[i] != nullptr; ++i) {
    if (PyModule_AddFunctions(m, qmpy::method_tables[i]) < 0) return nullptr;
  }
  PyObject* exports = PyDict_New();
  if (exports == nullptr) return nullptr;
  for (int i = 0; qmpy::export_table[i].python_name != nullptr; ++i) {
    PyObject* entry = Py_BuildValue("(si)", qmpy::export_table[i].module,
                                    qmpy::export_table[i].number);
    if (entry == nullptr ||
        PyDict_SetItemString(exports, qmpy::export_table[i].python_name, entry) < 0)
      return nullptr;
    Py_DECREF(entry);
  }
  if (PyModule_AddObject(m, "exports", exports) < 0) return nullptr;
  return m;
}
