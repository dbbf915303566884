// The shipped programs' last-resort handler under libstdc++: abort at once.
// The library's default handler writes the exception's demangled type to a
// console these window programs never have, and pulls the whole demangler
// (about 75 KB) into every image that is read from a CD.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
