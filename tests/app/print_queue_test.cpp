#include <QAbstractButton>
#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <iostream>

#include "app/tform1.h"
#include "platform/print_queue.h"
#include "tests/app/cups_server.h"
#include "tests/support/controls.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

namespace nomaro {
namespace {

using platform::QueueState;
using test::CupsServer;
using test::ModalAnswerer;

const std::string kTitle = "Nomaro - Stampa lista files";

class PrintServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server = std::make_unique<CupsServer>();
        if (!server->failure().isEmpty())
            GTEST_SKIP() << "No print server of the test's own: " << server->failure().toStdString();
    }
    void TearDown() override { server.reset(); }

    // A command of CUPS's tools that must succeed for the test to mean anything.
    bool admin(const char *tool, QStringList arguments)
    {
        const QString failure = server->run(QString::fromLatin1(tool), arguments);
        EXPECT_EQ(failure.toStdString(), "") << server->log();
        return failure.isEmpty();
    }
    bool sendJob(const QStringList &extraArguments)
    {
        const std::string file = files.writeFile("lavoro.txt", "una riga\n");
        return admin("lp", QStringList{QStringLiteral("-d"), QString::fromLatin1(CupsServer::kQueue)} +
                               extraArguments + QStringList{QString::fromStdString(file)});
    }

    std::unique_ptr<platform::PrintQueue> queue() const { return platform::systemPrintQueue(CupsServer::kQueue); }

    test::TempDir files;
    std::unique_ptr<CupsServer> server;
};

TEST_F(PrintServer, QueueStateFollowsTheServersCommands)
{
    struct Step
    {
        const char *tool;
        QueueState expected;
    };
    const Step steps[] = {
        {nullptr, QueueState::Ready},
        {"cupsreject", QueueState::Rejecting},
        {"cupsaccept", QueueState::Ready},
        {"cupsdisable", QueueState::Stopped},
        {"cupsenable", QueueState::Ready},
    };
    for (const Step &step : steps) {
        if (step.tool && !admin(step.tool, {QString::fromLatin1(CupsServer::kQueue)}))
            return;
        EXPECT_EQ(queue()->state(), step.expected) << (step.tool ? step.tool : "new queue");
    }
    EXPECT_EQ(platform::systemPrintQueue("Nessuna")->state(), QueueState::Missing);
    if (admin("lpadmin", {QStringLiteral("-x"), QString::fromLatin1(CupsServer::kQueue)})) {
        EXPECT_EQ(queue()->state(), QueueState::Missing) << "a queue removed since it was chosen";
    }
}

TEST_F(PrintServer, AJobIsFoundByItsMarkItsTitleAndItsUser)
{
    const auto before = queue()->newestJob();
    ASSERT_EQ(before, 0) << "a new queue has no jobs";
    ASSERT_TRUE(sendJob({QStringLiteral("-t"), QString::fromStdString(kTitle)}));
    EXPECT_TRUE(queue()->hasJobSince(*before, kTitle));
    EXPECT_FALSE(queue()->hasJobSince(*before, "Nomaro - Stampa lista")) << "the whole title";

    const auto afterOwn = queue()->newestJob();
    ASSERT_TRUE(afterOwn.has_value());
    EXPECT_GT(*afterOwn, *before);
    EXPECT_FALSE(queue()->hasJobSince(*afterOwn, kTitle)) << "a job from before the mark";

    ASSERT_TRUE(sendJob({QStringLiteral("-U"), QStringLiteral("qualcunaltro"), QStringLiteral("-t"),
                         QString::fromStdString(kTitle)}));
    EXPECT_GT(queue()->newestJob().value_or(0), *afterOwn) << "the mark counts every user's jobs";
    EXPECT_FALSE(queue()->hasJobSince(*afterOwn, kTitle)) << "another user's job with the same title";
}

// Where nothing answers, a print cannot be sent and must not be reported as sent.
TEST(PrintQueueWithoutServer, IsUnreachableAndHasNoJobs)
{
    test::TempDir dir;
    cupsSetServer(dir.pathOf("cups.sock").c_str());
    const auto queue = platform::systemPrintQueue("PDF");
    EXPECT_EQ(queue->state(), QueueState::Unreachable);
    EXPECT_EQ(queue->newestJob(), std::nullopt);
    EXPECT_FALSE(queue->hasJobSince(0, kTitle));
    cupsSetServer(nullptr);
}

class PrintingToTheServer : public PrintServer
{
protected:
    void SetUp() override
    {
        PrintServer::SetUp();
        if (IsSkipped())
            return;
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        form = std::make_unique<TForm1>();
        for (int i = 0; i < 3; ++i) {
            nm row;
            row.name = row.newName = "riga" + std::to_string(i) + ".txt";
            row.folder = "/Foto";
            row.extension = ".txt";
            form->fileTable().append(row);
        }
        auto *tabs = test::control<QTabWidget>(*form, "PageControl1");
        tabs->setCurrentWidget(test::control<QWidget>(*form, "TabSheet7"));
    }
    void TearDown() override
    {
        form.reset();
        QLocale::setDefault(QLocale::c());
        PrintServer::TearDown();
    }

    // Presses "STAMPA", answers "Sì" and closes every later box; returns what the boxes said.
    std::string print()
    {
        ModalAnswerer yes(QStringLiteral("Sì"));
        test::control<QAbstractButton>(*form, "SBSTAMPA")->click();
        return yes.texts().join(QStringLiteral(" | ")).toStdString();
    }

    std::unique_ptr<TForm1> form;
};

const std::string kAskedOnly = "Stampo lista ?";
const std::string kFailed = "Stampo lista ? | Stampa non riuscita.";

// What pdfinfo or pdftotext (poppler-utils) tell of a PDF file.
std::string popplerOutput(const char *tool, const QStringList &arguments)
{
    QProcess process;
    process.start(QString::fromLatin1(tool), arguments);
    if (!process.waitForFinished(60000))
        return std::string(tool) + " did not finish";
    return process.readAllStandardOutput().toStdString();
}

int nonEmptyLines(const std::string &text)
{
    int lines = 0;
    for (const QByteArray &line : QByteArray::fromStdString(text).split('\n'))
        lines += line.trimmed().replace('\f', "").isEmpty() ? 0 : 1;
    return lines;
}

TEST_F(PrintingToTheServer, APrintMakesOneTitledJobOfThisUser)
{
    EXPECT_EQ(print(), kAskedOnly);
    const std::vector<CupsServer::Job> jobs = server->jobs();
    ASSERT_EQ(jobs.size(), 1u) << server->log();
    EXPECT_EQ(jobs[0].title, kTitle);
    EXPECT_EQ(jobs[0].user, cupsUser());

    if (!server->printsPdf()) {
        std::cout << "[ NOTE ] cups-pdf cannot be given an output folder of the test's own here (that needs "
                     "root and a mount namespace): the queue holds the job and no PDF is checked\n";
        return;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return server->jobs().at(0).state >= IPP_JSTATE_STOPPED; }, 120000))
        << server->log();
    ASSERT_EQ(server->jobs().at(0).state, IPP_JSTATE_COMPLETED) << server->log();
    const QDir folder(QString::fromStdString(server->pdfFolder()));
    const QStringList pdfs = folder.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    ASSERT_EQ(pdfs.size(), 1);
    // The document reaches cups-pdf as PostScript, and its fonts come back without the names of
    // their characters: what can be read back is the title, the pages and the lines.
    const QString pdf = folder.filePath(pdfs.constFirst());
    const std::string info = popplerOutput("pdfinfo", {pdf});
    EXPECT_NE(info.find("Title:           (" + kTitle + ")\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_EQ(nonEmptyLines(popplerOutput("pdftotext", {pdf, QStringLiteral("-")})), 3);
}

TEST_F(PrintingToTheServer, AQueueThatWillNotPrintShowsTheFailureAndGetsNoJob)
{
    struct Case
    {
        const char *refuse;
        const char *restore;
    };
    for (const Case &refusal : {Case{"cupsreject", "cupsaccept"}, Case{"cupsdisable", "cupsenable"}}) {
        const QStringList queueName{QString::fromLatin1(CupsServer::kQueue)};
        if (!admin(refusal.refuse, queueName))
            return;
        EXPECT_EQ(print(), kFailed) << refusal.refuse;
        EXPECT_TRUE(server->jobs().empty()) << refusal.refuse;
        if (!admin(refusal.restore, queueName))
            return;
    }
    EXPECT_EQ(print(), kAskedOnly) << "the same queue prints again once restored";
    EXPECT_EQ(server->jobs().size(), 1u);
}

// A queue over its quota takes the document and makes no job of it: only the job list tells.
TEST_F(PrintingToTheServer, AJobRefusedByTheQuotaShowsTheFailure)
{
    if (!admin("lpadmin", {QStringLiteral("-p"), QString::fromLatin1(CupsServer::kQueue), QStringLiteral("-o"),
                           QStringLiteral("job-k-limit=1"), QStringLiteral("-o"),
                           QStringLiteral("job-quota-period=86400")}))
        return;
    EXPECT_EQ(print(), kAskedOnly) << "the first kilobyte is within the quota";
    ASSERT_EQ(server->jobs().size(), 1u);
    EXPECT_EQ(queue()->state(), QueueState::Ready) << "the quota does not show in the queue's state";
    EXPECT_EQ(print(), kFailed);
    EXPECT_EQ(server->jobs().size(), 1u) << server->log();
}

} // namespace
} // namespace nomaro
