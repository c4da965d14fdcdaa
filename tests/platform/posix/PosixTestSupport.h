#pragma once
// Helpers of the platform tests that only POSIX systems have: environment variables set
// for a while, and quoting for /bin/sh.

#include "../PlatformTestSupport.h"
#include "platform/ConsoleQuote.h"

#include <cstdlib>
#include <stdlib.h>

namespace platform_test {

// Sets an environment variable (nullopt: unsets it) for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        Set(value);
    }
    ~ScopedVariable() { Set(old_); }

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name_, value->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    const char* name_;
    std::optional<std::string> old_;
};

inline std::string ShellQuote(const std::string& text)
{
    return platform::QuoteArgument(text);
}

} // namespace platform_test
