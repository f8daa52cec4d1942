// libstdc++'s default terminate handler prints the uncaught exception's type
// to stderr, which this window-less program does not have, and brings the C++
// demangler and the C library's printf with its float formatting along
// (about 70 KiB of the exe). This one ends the process the same way, by
// abort(), without the text. Linked ahead of the library, it replaces its
// definition there.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): the library's own name, replaced
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
#endif
