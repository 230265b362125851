#pragma once

#include "DataCardsFixture.h"
#include "EngineJudge.h"
#include "TestSupport.h"

#include <optional>

namespace storetest {

// The data panel on a corpus report, with the real engine to judge what the designer saves.
class CorpusCardsTest : public DataCardsTest {
protected:
    void SetUp() override
    {
        DataCardsTest::SetUp();
        if (const std::optional<SidecarClient::Location> location = testsupport::realEngine())
            engine.emplace(*location);
    }

    // Opens a copy of a corpus report (its path below jrxml-samples) as the designer opens a
    // file; its text as read.
    QString openSample(const QString &path)
    {
        const QByteArray text =
            testsupport::readFile(testsupport::corpusDir() + u"/jrxml-samples/"_s + path);
        const QString copy = QDir(settingsDir.path()).filePath(QFileInfo(path).fileName());
        QFile file(copy);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        store.load(QUrl::fromLocalFile(copy));
        view->refresh();
        return QString::fromUtf8(text);
    }

    // The engine's complaint about the report as it is saved now, or no value when it compiles.
    std::optional<QString> compileError() { return engine->compileError(saved().toUtf8()); }

    // Clicks a remove button and leaves its question unanswered, which cancels it: the question
    // says `message`, the report stays as it was, and the engine compiles it.
    void expectAskedAndKept(const QString &removeButton, const QString &message)
    {
        const ReportDocument before = store.document();
        const qsizetype asked = dialogs.alerts().size();
        click(removeButton);
        ASSERT_EQ(dialogs.alerts().size(), asked + 1);
        EXPECT_EQ(dialogs.alerts().last().message.toStdString(), message.toStdString());
        EXPECT_EQ(store.document(), before);
        EXPECT_EQ(compileError(), std::nullopt);
    }

    // Where the item of that name stands in its list.
    template <typename T> static int indexOf(const QList<T> &items, const QString &name)
    {
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items.at(i).name == name)
                return int(i);
        }
        ADD_FAILURE() << "no " << name.toStdString();
        return -1;
    }

    std::optional<testsupport::EngineJudge> engine;
};

} // namespace storetest

// Skips the test without the corpus or the engine.
#define QUILLMARK_REQUIRE_CORPUS_AND_ENGINE()                                                      \
    QUILLMARK_REQUIRE_CORPUS();                                                                    \
    if (!engine)                                                                                   \
        GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping";
