#include "browser/shelllocator.h"

#include <cerrno>

#include "platform/shell_error.h"
#include "platform/shell_namespace.h"

namespace nomaro {
namespace {

const platform::ItemIdList &desktopList()
{
    static const platform::ItemIdList desktop;
    return desktop;
}

[[noreturn]] void invalidStream()
{
    platform::raiseShellError(EINVAL, "Dati della cartella non validi");
}

} // namespace

const platform::ItemIdList &ShellLocator::IdList() const
{
    if (m_kind == BySpecialFolder && !m_list)
        m_list = platform::specialFolderIdList(m_specialFolder);
    return m_list ? *m_list : desktopList();
}

std::string ShellLocator::Path() const
{
    return platform::pathOf(IdList());
}

void ShellLocator::SetIdList(const platform::ItemIdList &list)
{
    bool isChange = false;
    if (m_kind == BySpecialFolder)
        isChange = true;
    else if (m_list)
        isChange = !platform::sameItem(*m_list, list);
    else
        isChange = !list.isDesktop();

    m_kind = ByIdList;
    m_specialFolder = kNoSpecialFolder;
    if (list.isDesktop())
        m_list.reset();
    else
        m_list = list;
    if (isChange)
        changed();
}

void ShellLocator::Clear()
{
    SetIdList(platform::ItemIdList());
}

void ShellLocator::SetSpecialFolder(std::uint8_t number)
{
    if (m_kind == BySpecialFolder && m_specialFolder == number)
        return;
    m_kind = BySpecialFolder;
    m_specialFolder = number;
    m_list.reset();
    changed();
}

void ShellLocator::Assign(const ShellLocator *other)
{
    if (!other) {
        // A special folder is a designation too, even before its list was looked up.
        if (m_list || m_kind == BySpecialFolder) {
            m_list.reset();
            m_kind = ByIdList;
            m_specialFolder = kNoSpecialFolder;
            changed();
        }
        return;
    }
    if (*this == *other)
        return;
    m_kind = other->m_kind;
    m_specialFolder = other->m_specialFolder;
    if (m_kind == BySpecialFolder)
        m_list.reset();
    else
        m_list = other->m_list;
    changed();
}

bool ShellLocator::operator==(const ShellLocator &other) const
{
    if (m_kind != other.m_kind)
        return false;
    if (this == &other)
        return true;
    if (m_kind == BySpecialFolder)
        return m_specialFolder == other.m_specialFolder;
    return platform::sameItem(IdList(), other.IdList());
}

std::string ShellLocator::toStream() const
{
    std::string out(1, static_cast<char>(m_kind));
    if (m_kind == BySpecialFolder) {
        out.push_back(static_cast<char>(m_specialFolder));
        return out;
    }
    const std::string &bytes = m_list ? m_list->bytes() : std::string();
    const auto length = static_cast<std::uint32_t>(bytes.size());
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((length >> shift) & 0xFF));
    out.append(bytes);
    return out;
}

std::size_t ShellLocator::readStream(std::string_view bytes)
{
    if (bytes.empty())
        invalidStream();
    const auto kind = static_cast<std::uint8_t>(bytes[0]);
    if (kind == BySpecialFolder) {
        if (bytes.size() < 2)
            invalidStream();
        m_kind = BySpecialFolder;
        m_specialFolder = static_cast<std::uint8_t>(bytes[1]);
        m_list.reset();
        changed();
        return 2;
    }
    if (kind != ByIdList || bytes.size() < 5)
        invalidStream();
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[1 + i])) << (8 * i);
    if (length == 0) {
        m_kind = BySpecialFolder;
        m_specialFolder = platform::SpecialDesktop;
        m_list.reset();
        changed();
        return 5;
    }
    if (length > bytes.size() - 5)
        invalidStream();
    std::optional<platform::ItemIdList> list = platform::ItemIdList::fromBytes(bytes.substr(5, length));
    if (!list)
        invalidStream();
    m_kind = ByIdList;
    m_specialFolder = kNoSpecialFolder;
    if (list->isDesktop())
        m_list.reset();
    else
        m_list = std::move(list);
    changed();
    return 5 + length;
}

void ShellLocator::changed()
{
    if (m_changeHandler)
        m_changeHandler();
}

} // namespace nomaro
