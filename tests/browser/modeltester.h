#pragma once

// Runs Qt's model tester over a model for the lifetime of this object and turns each complaint
// of the tester into a failure of the test that is running. The tester checks the model after
// every change it signals (row counts, parents, the order of begin and end signals), so a model
// that reports a change wrongly fails the test that made the change.

#include <QAbstractItemModelTester>
#include <QtGlobal>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace nomaro::test {

class ModelTester
{
public:
    explicit ModelTester(QAbstractItemModel *model)
    {
        current() = this;
        m_previous = qInstallMessageHandler(&ModelTester::collect);
        m_tester = std::make_unique<QAbstractItemModelTester>(model, QAbstractItemModelTester::FailureReportingMode::Warning);
    }

    ~ModelTester()
    {
        m_tester.reset();
        qInstallMessageHandler(m_previous);
        current() = nullptr;
        for (const std::string &complaint : m_complaints)
            ADD_FAILURE() << "the model tester: " << complaint;
    }

    ModelTester(const ModelTester &) = delete;
    ModelTester &operator=(const ModelTester &) = delete;

private:
    static ModelTester *&current()
    {
        static ModelTester *tester = nullptr;
        return tester;
    }

    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        ModelTester *tester = current();
        if (tester && qstrcmp(context.category, "qt.modeltest") == 0 && type >= QtWarningMsg) {
            tester->m_complaints.push_back(message.toStdString());
            return;
        }
        if (tester && tester->m_previous)
            tester->m_previous(type, context, message);
    }

    std::unique_ptr<QAbstractItemModelTester> m_tester;
    QtMessageHandler m_previous = nullptr;
    std::vector<std::string> m_complaints;
};

} // namespace nomaro::test
