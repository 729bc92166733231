#pragma once

#include <QCoreApplication>
#include <QHeaderView>
#include <QTest>
#include <string>
#include <vector>

#include "browser/shelllist.h"

namespace nomaro::test {

// A list with a window, as the main window has it, showing `folder` (the desktop when empty).
struct ShownList
{
    nomaro::ShellList list;
    int fills = 0;

    explicit ShownList(const std::string &folder = {})
    {
        list.setMultiSelect(true);
        list.resize(640, 200);
        list.OnFillStart = [this](nomaro::ShellList *) { ++fills; };
        list.show();
        QCoreApplication::processEvents();
        if (!folder.empty())
            list.setFolderPath(folder);
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (int i = 0; i < list.itemCount(); ++i)
            all.push_back(list.itemName(i));
        return all;
    }

    int indexOf(const std::string &name) const
    {
        for (int i = 0; i < list.itemCount(); ++i) {
            if (list.itemName(i) == name)
                return i;
        }
        return -1;
    }

    QString text(int row, int column) const
    {
        return list.model()->index(row, column).data().toString();
    }

    void clickHeader(int section)
    {
        QHeaderView *header = list.header();
        const QPoint at(header->sectionViewportPosition(section) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
};

} // namespace nomaro::test
