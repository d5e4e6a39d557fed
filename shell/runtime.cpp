// What the C++ library would do when something fails, done the short way for
// Vorlane.exe and VorlaneLib.dll. Nothing in the program throws or catches an
// exception: a failure the library meets (memory exhausted, a length past the
// maximum, a bad index) can only end the process, and here it does so at once.
// The library's own versions would build exception objects and unwind first,
// and bring the exception machinery and its tables into each image (about
// 55 KB). The shell's tests link it too and check it; the other tests keep the
// library's versions.
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__GLIBCXX__)

// An exception that escapes ends the process whatever the handler does; the
// library's own handler would first print the exception's type to a console
// this program does not have, with a name demangler of about 80 KB.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx

// Every throw helper of the library's functexcept object and the one of its
// functional object: a missing one would bring that object back, and with it
// the others twice.
namespace std {
// clang-format off
void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
// clang-format on
}  // namespace std

// Allocation: memory that cannot be had ends the process, as an unhandled
// bad_alloc would; the nothrow forms answer null, as the standard says.
void* operator new(std::size_t size)
{
    if (void* block = std::malloc(size ? size : 1))
        return block;
    std::abort();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size ? size : 1);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

#endif
