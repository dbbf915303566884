// The shipped programs' replacements for libstdc++'s std::__throw_* helpers,
// which the library's own string code calls on a bad length or index. The
// library's versions build std::logic_error and its kin from a message
// string, and that pulls its second, reference-counted string
// implementation, its random_device and a formatter into every image (about
// 55 KB of a program read from a CD), for a text nobody reads: these
// programs catch such failures only with catch (...). The failures still
// throw, as before; the bad_* ones keep their own types.
#include <exception>
#include <new>
#include <typeinfo>

#if defined(__GLIBCXX__)
namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char*) { throw exception(); }
void __throw_domain_error(const char*) { throw exception(); }
void __throw_invalid_argument(const char*) { throw exception(); }
void __throw_length_error(const char*) { throw exception(); }
void __throw_out_of_range(const char*) { throw exception(); }
void __throw_out_of_range_fmt(const char*, ...) { throw exception(); }
void __throw_runtime_error(const char*) { throw exception(); }
void __throw_range_error(const char*) { throw exception(); }
void __throw_overflow_error(const char*) { throw exception(); }
void __throw_underflow_error(const char*) { throw exception(); }
}  // namespace std
#endif
