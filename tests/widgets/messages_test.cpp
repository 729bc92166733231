#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "widgets/messages.h"
#include "widgets/messages_text.h"

namespace nomaro {
namespace {

constexpr QChar Break(0x200B);

bool longerThanFive(QStringView run)
{
    return run.size() > 5;
}

TEST(BreakableText, OnlyRunsTooWideGetBreaksAndNeverInsideACharacter)
{
    EXPECT_EQ(BreakableText(QStringLiteral("un file  corto\n"), longerThanFive).shown(),
              QStringLiteral("un file  corto\n"));

    const QString accented = QStringLiteral("ab ") + QStringLiteral("cde\u0301fg") + QStringLiteral(" h");
    const QString shown = BreakableText(accented, longerThanFive).shown();
    EXPECT_EQ(shown, QStringLiteral("ab c\u200Bd\u200Be\u0301\u200Bf\u200Bg h")) << "the accent stays with its e";

    const QString emoji = QString::fromUcs4(U"x\U0001F600yzuvw");
    EXPECT_EQ(BreakableText(emoji, longerThanFive).shown(),
              QString::fromUcs4(U"x\u200B\U0001F600\u200By\u200Bz\u200Bu\u200Bv\u200Bw"));
}

TEST(BreakableText, CopiedTextComesBackAsTheRealOne)
{
    // The name holds a zero-width space of its own: only the added ones go.
    const QString name = QStringLiteral("nome") + Break + QStringLiteral("lungo.txt");
    const BreakableText text(QStringLiteral("File ") + name + QStringLiteral(" non trovato"), longerThanFive);
    ASSERT_NE(text.shown(), text.original());

    EXPECT_EQ(text.restored(text.shown()), text.original());
    const QString boxCopy = QStringLiteral("---\nErrore\n---\n") + text.shown() + QStringLiteral("\n---\nOK\n");
    EXPECT_EQ(text.restored(boxCopy), QStringLiteral("---\nErrore\n---\n") + text.original() + QStringLiteral("\n---\nOK\n"));

    const qsizetype from = text.shown().indexOf(u'n', 5);
    const qsizetype to = text.shown().indexOf(u't', from);
    EXPECT_EQ(text.restored(text.shown().mid(from, to - from + 1)), name.left(name.size() - 2))
        << "a selection of part of the name";
    EXPECT_EQ(text.restored(QStringLiteral("altro testo")), QStringLiteral("altro testo"));
}

// Opens a box through `show` and hands it to `inspect` once it is on screen, then closes it.
void whileShown(const std::function<void()> &show, const std::function<void(QMessageBox &)> &inspect)
{
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (seen || !box || !box->isVisible())
            return;
        seen = true;
        inspect(*box);
        box->buttons().first()->click();
    });
    poll.start(5);
    show();
    EXPECT_TRUE(seen);
}

QLabel *textLabel(QMessageBox &box)
{
    for (QLabel *label : box.findChildren<QLabel *>()) {
        if (label->text() == box.text())
            return label;
    }
    return nullptr;
}

const QString LongName = QString(251, u'n') + QStringLiteral(".txt");

TEST(MessageBox, LongNameWrapsWithinTheScreenAndIsShownWhole)
{
    const QString message = QStringLiteral("Impossibile salvare la lista nel file /home/utente/") + LongName
        + QStringLiteral(":\nPermesso negato");
    whileShown([&] { showError(nullptr, message); },
               [&](QMessageBox &box) {
                   const QRect screen = box.screen()->availableGeometry();
                   EXPECT_LE(box.frameGeometry().width(), screen.width());
                   EXPECT_TRUE(screen.contains(box.frameGeometry())) << "box at " << box.frameGeometry().x();
                   QLabel *label = textLabel(box);
                   ASSERT_NE(label, nullptr);
                   const QRect needed = label->fontMetrics().boundingRect(
                       QRect(0, 0, label->width(), 100000), Qt::TextWordWrap, label->text());
                   EXPECT_LE(needed.width(), label->width());
                   EXPECT_LE(needed.height(), label->height());
                   EXPECT_TRUE(label->geometry().right() < box.width());
                   EXPECT_EQ(QString(label->text()).remove(Break), message);
               });
}

TEST(MessageBox, CopyingFromTheBoxGivesTheRealName)
{
    whileShown([&] { showWarning(nullptr, QStringLiteral("File ") + LongName); },
               [&](QMessageBox &box) {
                   QLabel *label = textLabel(box);
                   ASSERT_NE(label, nullptr);
                   ASSERT_TRUE(label->text().contains(Break));
                   label->setSelection(5, int(label->text().size()) - 5);
                   label->setFocus();
                   QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
                   EXPECT_EQ(QGuiApplication::clipboard()->text(), LongName);

                   QGuiApplication::clipboard()->setText(QStringLiteral("Attenzione\n") + label->text());
                   EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Attenzione\nFile ") + LongName);
               });
}

TEST(MessageBox, TextIsShownAsWrittenNotAsMarkup)
{
    const QString path = QStringLiteral("/home/utente/Documenti/<b>grassetto</b> & <i>corsivo</i>.txt");
    whileShown([&] { confirm(nullptr, path); },
               [&](QMessageBox &box) {
                   EXPECT_EQ(box.text(), path) << "a name that fits is left alone";
                   QLabel *label = textLabel(box);
                   ASSERT_NE(label, nullptr);
                   label->setSelection(0, int(path.size()));
                   EXPECT_EQ(label->selectedText(), path);
               });
}

} // namespace
} // namespace nomaro
