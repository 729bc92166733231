#include <gtest/gtest.h>

#include <QEvent>
#include <QTimer>
#include <stdexcept>

#include "app/application.h"
#include "tests/support/modal.h"

namespace nomaro {
namespace {

// An event handler that fails the way a platform call inside a component does.
class FailingReceiver : public QObject
{
public:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Impossibile leggere la cartella /mnt/assente");
        return QObject::event(event);
    }
};

TEST(GeneralErrorHandling, AnEscapedExceptionIsShownAndTheEventLoopGoesOn)
{
    test::ModalAnswerer answerer(QStringLiteral("OK"));
    FailingReceiver receiver;
    bool laterEventRan = false;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QTimer::singleShot(50, [&] {
        laterEventRan = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();

    EXPECT_TRUE(laterEventRan);
    ASSERT_EQ(answerer.count(), 1);
    EXPECT_EQ(answerer.titles().front(), QStringLiteral("Errore"));
    EXPECT_EQ(answerer.texts().front(), QStringLiteral("Impossibile leggere la cartella /mnt/assente"));
}

} // namespace
} // namespace nomaro

int main(int argc, char **argv)
{
    nomaro::NomaroApplication application(argc, argv);
    // No main window here: closing the error box must not end the run.
    application.setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
