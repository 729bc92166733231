#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/itemidlist.h"

namespace nomaro {

// The designation of a folder of the shell namespace: by an absolute identifier list, or by the
// number of a special folder (looked up on first use). A fresh locator designates the desktop.
class ShellLocator
{
public:
    enum Kind : std::uint8_t {
        ByIdList = 0,
        BySpecialFolder = 1,
    };
    // The special-folder number of a locator set by identifier list: no folder has it.
    static constexpr std::uint8_t kNoSpecialFolder = 50;

    ShellLocator() = default;
    ShellLocator(const ShellLocator &) = delete;
    ShellLocator &operator=(const ShellLocator &) = delete;

    Kind kind() const { return m_kind; }
    std::uint8_t specialFolder() const { return m_specialFolder; }

    // The absolute list; the desktop's (empty) list when none is held. For a special folder it
    // is looked up once and kept; a failed lookup raises a ShellError.
    const platform::ItemIdList &IdList() const;
    bool hasIdList() const { return m_list.has_value(); }
    // The folder's file-system path: "/" for the root, no trailing "/" otherwise, empty for a
    // virtual folder.
    std::string Path() const;

    // Designates the folder by list (the desktop when the list is empty) and calls the change
    // handler when the designation changed.
    void SetIdList(const platform::ItemIdList &list);
    // Designates the desktop.
    void Clear();
    // Designates a special folder; the change handler is called when the designation changed.
    void SetSpecialFolder(std::uint8_t number);
    // Copies another locator's designation; nullptr designates the desktop.
    void Assign(const ShellLocator *other);

    bool operator==(const ShellLocator &other) const;

    // The owner's callback, called after every change of designation.
    void setChangeHandler(std::function<void()> handler) { m_changeHandler = std::move(handler); }

    // Whether the stream form is written for this locator: it holds a list or a special folder.
    bool isStored() const { return m_list.has_value() || m_kind == BySpecialFolder; }
    // The stream form: the kind byte, then the special-folder number, or the list's length as
    // 32 bits little-endian followed by the list with its terminator.
    std::string toStream() const;
    // Reads the stream form from the start of `bytes` and gives the number of bytes read. A
    // kind-0 record of length 0 designates the desktop as special folder 0. Raises a ShellError
    // for bytes that are no stream form.
    std::size_t readStream(std::string_view bytes);

private:
    void changed();

    Kind m_kind = ByIdList;
    std::uint8_t m_specialFolder = kNoSpecialFolder;
    mutable std::optional<platform::ItemIdList> m_list;
    std::function<void()> m_changeHandler;
};

} // namespace nomaro
