#pragma once

#include <stdexcept>
#include <string>

namespace nomaro::platform {

// A failure of the shell namespace or of the file system below it: the system's error number and
// a message for the user, in Italian, that ends with the system's own description of the error.
class ShellError : public std::runtime_error
{
public:
    ShellError(int code, const std::string &what);

    int code() const { return m_code; }

private:
    int m_code;
};

// "<what>: <the system's text for code>".
std::string systemMessage(const std::string &what, int code);

// Raises a ShellError for `code` with `what` as the first part of its message.
[[noreturn]] void raiseShellError(int code, const std::string &what);

} // namespace nomaro::platform
