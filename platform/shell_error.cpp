#include "platform/shell_error.h"

#include <cstring>

namespace nomaro::platform {

ShellError::ShellError(int code, const std::string &what)
    : std::runtime_error(systemMessage(what, code))
    , m_code(code)
{
}

std::string systemMessage(const std::string &what, int code)
{
    char buffer[256];
    // The GNU strerror_r returns the text, which need not be in the buffer; it follows the
    // process's message locale, so an Italian desktop gets the system's Italian text.
    const char *text = strerror_r(code, buffer, sizeof buffer);
    return what + ": " + text + " (errore " + std::to_string(code) + ")";
}

void raiseShellError(int code, const std::string &what)
{
    throw ShellError(code, what);
}

} // namespace nomaro::platform
