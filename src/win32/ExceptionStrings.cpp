// The strings inside the standard exception classes, instantiated here for the release.
//
// std::runtime_error and its kin (the base of the program's Exception) keep their message in the
// library's old reference-counted string, whatever string the program uses. The library's
// exception code needs only the few members of that string listed below, but they come in one
// object file with every other member of it, and the PE linker cannot drop a function that has
// unwind records: left to the library, that object costs the release some 34 KB. Instantiating
// the members here, from the library's own headers, satisfies those references first, so the
// object is never linked. Should the library ever want a member that is missing here, it links
// the object as before, and the release's link fails: the object brings std::random_device,
// whose rand_s, read and close the release's C runtime, CRTDLL, does not export.
#define _GLIBCXX_USE_CXX11_ABI 0  // this file's std::string is the reference-counted one
#include <string>

// The members are the library's internals as of its release 12; another release may name them
// differently, and then the file adds nothing and the library's own object is linked instead.
#if defined(_GLIBCXX_RELEASE) && _GLIBCXX_RELEASE == 12

template char* std::string::_S_construct(size_type, char, const std::allocator<char>&);
template void std::string::_M_copy(char*, const char*, size_type);
template void std::string::_M_assign(char*, size_type, char);
template void std::string::swap(std::string&);
template std::string& std::string::assign(const std::string&);
template std::string::_Rep* std::string::_Rep::_S_create(size_type, size_type, const std::allocator<char>&);
template char* std::string::_Rep::_M_clone(const std::allocator<char>&, size_type);
template char* std::string::_Rep::_M_refcopy();
template bool std::string::_Rep::_M_is_leaked() const;
template void std::string::_Rep::_M_set_length_and_sharable(size_type);
template void std::string::_Rep::_M_dispose(const std::allocator<char>&);
template void std::string::_Rep::_M_destroy(const std::allocator<char>&);
#endif
