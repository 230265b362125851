#include "EngineTestSupport.h"
#include "RandomEditRuns.h"
#include "RandomEdits.h"
#include "SaveVerdict.h"
#include "SavedBands.h"
#include "SavedComments.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "engine/SidecarClient.h"
#include "model/JrxmlCodec.h"

#include <QElapsedTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <iostream>

using namespace Qt::StringLiterals;

// The random edits of the undo property test, on its seeds and reports, and a short sequence on
// every report of the corpus that the engine compiles as it is read: every 20th edit the report is
// saved through the store, and the engine compiles each save, through one engine process for each
// report of the seeds and for each shard of the corpus (a case of its own, so that the cases share
// the processors). Each save holds every element of the bands it writes, and nothing was put into
// a band it leaves out (SavedBands), and every comment of the file where it stood but those inside
// what the edits removed (SavedComments). A refusal of what the user made (SaveVerdict) is counted
// by its reason, and the report put right as the user would is compiled as well, so that it hides
// no fault of the designer. When the engine refuses a save for a fault of the designer, the fault
// is counted by its cause and the test names its seed and step, the events before it and the
// engine's message, then has the engine compile the report after each event since the save before,
// to name the event after which the report no longer compiles. The seed's run ends there (what
// follows would only repeat it); the other seeds run.

namespace {

constexpr int saveEvery = 20;
// How many events a refusal lists before the save.
constexpr qsizetype eventsShown = 8;

class RandomEditsEngineRun : public testsupport::RealEngineTest {
protected:
    // Saves the report through the store, as the designer does, and has the engine compile the
    // file. When the engine refuses only what the user made, the report put right as the user
    // would is compiled too, so that a name typed twice hides no fault of the designer.
    SaveVerdict compile(DocumentStore &store, const QString &name)
    {
        const QString jrxml = dir.filePath(name + u".jrxml"_s);
        store.save(QUrl::fromLocalFile(jrxml));
        SaveVerdict verdict = SaveVerdict::of(engineError(jrxml), store.document(), loaded,
                                              store.document(), history);
        if (verdict.error.isEmpty() || verdict.fault())
            return verdict;
        const ReportDocument mended = SaveVerdict::mended(store.document());
        if (mended == store.document())
            return verdict;
        DocumentStore mender;
        mender.setDocument(mended);
        const QString mendedFile = dir.filePath(name + u"-mended.jrxml"_s);
        mender.save(QUrl::fromLocalFile(mendedFile));
        const SaveVerdict ofMended =
            SaveVerdict::of(engineError(mendedFile), mended, loaded, store.document(), history);
        verdict.faults = ofMended.faults;
        verdict.causes = ofMended.causes;
        return verdict;
    }
    SaveVerdict compile(const ReportDocument &report, const QString &name)
    {
        DocumentStore store;
        store.setDocument(report);
        return compile(store, name);
    }
    // The engine's message on compiling the file; empty when it compiled it.
    QString engineError(const QString &jrxml)
    {
        ++compiles;
        return compileFile(jrxml);
    }

    // The first of `events` (each with the report after it) after which the engine refuses
    // the report for a fault of the designer, with the engine's message.
    std::optional<std::pair<QString, QStringList>>
    firstFault(const QList<std::pair<QString, ReportDocument>> &events, const QString &name)
    {
        for (const auto &[description, report] : events) {
            const SaveVerdict verdict = compile(report, name + u"-probe"_s);
            if (verdict.fault())
                return std::pair(description, verdict.faults);
        }
        return std::nullopt;
    }

    // Runs one seed, saving and compiling every 20th edit; false when the engine refused a save
    // for a fault of the designer.
    bool runSeed(const RandomEditRuns::Run &run, int edits)
    {
        const QString name = u"seed"_s + QString::number(run.seed);
        DocumentStore store;
        loaded = JrxmlCodec::parse(run.report.jrxml);
        store.setDocument(loaded);
        history = {};
        history.note(loaded, loaded);
        ReportDocument previous = loaded;
        SavedBands bands;
        bands.note(loaded);
        const SavedComments comments(run.report.jrxml);
        RandomEdits driver(store, run.seed);
        ++sequences;
        // Every event since the last save without a fault, with the report after it.
        QList<std::pair<QString, ReportDocument>> since;
        QStringList recent;
        bool faulty = false;
        driver.run(edits, [&](const RandomEdits::Event &event) {
            const QString line = event.kind == RandomEdits::Event::Kind::edit
                                     ? QString(u"edit "_s + QString::number(event.step) + u": "_s +
                                               event.description)
                                     : QString(event.description + u" (after edit "_s +
                                               QString::number(event.step) + u')');
            since.append({line, store.document()});
            history.note(previous, store.document());
            if (event.kind == RandomEdits::Event::Kind::edit)
                history.noteWords(previous, store.document());
            history.fieldsCardInserts = driver.fieldsCardInserts();
            history.lacksSaid = driver.lacksSaid();
            previous = store.document();
            recent.append(line);
            if (recent.size() > eventsShown)
                recent.removeFirst();
            if (event.kind == RandomEdits::Event::Kind::edit)
                ++editsMade;
            bands.note(store.document());
            if (!driver.lapses().isEmpty()) {
                ADD_FAILURE() << "After edit " << event.step << " of " << run.replay().toStdString()
                              << ":\n  " << driver.lapses().join(u"\n  "_s).toStdString();
                faulty = true;
                return false;
            }
            if (event.kind != RandomEdits::Event::Kind::edit || event.step % saveEvery != 0)
                return true;
            ++saves;
            const QString saveName = name + u"-step"_s + QString::number(event.step);
            const SaveVerdict verdict = compile(store, saveName);
            const QByteArray savedText =
                testsupport::readFile(dir.filePath(saveName + u".jrxml"_s));
            // A report read in the older form, without the namespace: saved in it, or turned to
            // the namespace form by what the edits added.
            if (loaded.olderFormAsRead)
                ++(savedText.contains("xmlns=") ? savedTurnedToNamespaceForm : savedInOlderForm);
            const QStringList lost =
                bands.lapses(store.document(), savedText) + comments.lapses(savedText);
            if (!lost.isEmpty()) {
                ADD_FAILURE() << "The report saved at edit " << event.step << " of "
                              << run.replay().toStdString() << " loses what it holds:\n  "
                              << lost.join(u"\n  "_s).toStdString() << "\nThe last events:\n  "
                              << recent.join(u"\n  "_s).toStdString();
                faulty = true;
                return false;
            }
            if (verdict.error.isEmpty())
                ++accepted;
            if (!verdict.fault()) {
                for (const QString &reason : QSet(verdict.reasons.cbegin(), verdict.reasons.cend()))
                    ++refusedForTheUser[reason];
                since.clear();
                return true;
            }
            for (const QString &cause : QSet(verdict.causes.cbegin(), verdict.causes.cend()))
                ++refusedForTheDesigner[cause];
            const auto culprit = firstFault(since, name);
            ADD_FAILURE() << "The engine refuses the report saved at edit " << event.step << " of "
                          << run.replay().toStdString() << ".\nThe last events:\n  "
                          << recent.join(u"\n  "_s).toStdString()
                          << "\nThe engine says: " << verdict.error.toStdString()
                          << "\nOf what the designer made: "
                          << verdict.faults.join(u"; "_s).toStdString()
                          << "\nThe report no longer compiles after "
                          << (culprit ? culprit->first.toStdString() + "; the engine says then: " +
                                            culprit->second.join(u"; "_s).toStdString()
                                      : std::string("(no single event: the report after each "
                                                    "compiles)"));
            faulty = true;
            return false;
        });
        return !faulty;
    }

    // The report the current seed started from, and what its edits did to its declarations.
    ReportDocument loaded;
    DeclarationHistory history;
    int saves = 0;
    // Saves of reports read in the older form: in that form, and turned to the namespace form.
    int savedInOlderForm = 0;
    int savedTurnedToNamespaceForm = 0;
    // Saves the engine compiled.
    int accepted = 0;
    // Saves the engine refused for what the user made, by reason, and for a fault of the
    // designer, by cause.
    QMap<QString, int> refusedForTheUser;
    QMap<QString, int> refusedForTheDesigner;
    int editsMade = 0;
    int sequences = 0;
    // Every compile, those of the reports as read and of the events before a fault included.
    int compiles = 0;

    // Whether the engine compiles the report as it is read; a report it refuses says nothing
    // about the edits.
    std::optional<QString> refusedAsRead(const RandomEditRuns::Report &report)
    {
        const SaveVerdict asRead = compile(JrxmlCodec::parse(report.jrxml), u"as-read"_s);
        if (asRead.error.isEmpty())
            return std::nullopt;
        return asRead.faults.isEmpty() ? asRead.error : asRead.faults.join(u"; "_s);
    }

    // The counts of the runs so far, one line each.
    void printCounts(const std::string &what, qint64 milliseconds) const
    {
        int forTheUser = 0, forTheDesigner = 0;
        for (const int count : refusedForTheUser)
            forTheUser += count;
        for (const int count : refusedForTheDesigner)
            forTheDesigner += count;
        std::cout << "random edits and the engine on " << what << ": " << sequences
                  << " sequences, " << editsMade << " edits, " << saves << " saves, " << accepted
                  << " compiled as saved, " << forTheUser << " refused for the user, "
                  << forTheDesigner << " for the designer\n";
        for (auto it = refusedForTheUser.cbegin(); it != refusedForTheUser.cend(); ++it)
            std::cout << "  " << it.value() << " refused because " << it.key().toStdString()
                      << '\n';
        for (auto it = refusedForTheDesigner.cbegin(); it != refusedForTheDesigner.cend(); ++it)
            std::cout << "  " << it.value()
                      << " refused for the designer: " << it.key().toStdString() << '\n';
        if (savedInOlderForm + savedTurnedToNamespaceForm > 0)
            std::cout << "  of a report read in the older form: " << savedInOlderForm
                      << " saves in that form, " << savedTurnedToNamespaceForm
                      << " turned to the namespace form\n";
        std::cout << "  " << compiles << " compiles in all (the reports as read, the saves, the "
                  << "saves put right as the user would, the events before a fault), "
                  << milliseconds / 1000.0 << " s\n";
    }
};

class RandomEditsEngine : public RandomEditsEngineRun,
                          public testing::WithParamInterface<RandomEditRuns::Report> {};

class RandomEditsEngineCorpus : public RandomEditsEngineRun,
                                public testing::WithParamInterface<RandomEditRuns::Shard> {};

} // namespace

TEST_P(RandomEditsEngine, EverySavedReportCompiles)
{
    const RandomEditRuns::Report &report = GetParam();
    QElapsedTimer timer;
    timer.start();
    if (const std::optional<QString> refused = refusedAsRead(report))
        GTEST_SKIP() << "the seeds on " << report.name.toStdString()
                     << " are left out: the engine refuses it as it is read: "
                     << refused->toStdString();
    QStringList failed;
    for (const RandomEditRuns::Run &run : RandomEditRuns::runs()) {
        if (run.report.name == report.name && !runSeed(run, RandomEditRuns::edits()))
            failed.append(QString::number(run.seed));
    }
    if (sequences == 0)
        GTEST_SKIP() << "no seed runs on " << report.name.toStdString();
    printCounts(report.name.toStdString(), timer.elapsed());
    EXPECT_GT(saves, 0) << "no report was saved";
    EXPECT_TRUE(failed.isEmpty()) << "seeds whose saves the engine refuses: "
                                  << failed.join(u", "_s).toStdString();
}

// Each report of the corpus that the engine compiles as it is read, with a short sequence of its
// own seed; a report it refuses as read is left out, and named.
TEST_P(RandomEditsEngineCorpus, EverySavedReportCompiles)
{
    const RandomEditRuns::Shard &shard = GetParam();
    QElapsedTimer timer;
    timer.start();
    QStringList failed, leftOut;
    for (const RandomEditRuns::Run &run : shard.runs) {
        if (const std::optional<QString> refused = refusedAsRead(run.report)) {
            leftOut.append(run.report.name + u": "_s + refused->left(200));
            continue;
        }
        if (!runSeed(run, RandomEditRuns::corpusEdits()))
            failed.append(run.replay());
    }
    if (shard.runs.isEmpty())
        GTEST_SKIP() << "no corpus report in " << shard.name.toStdString();
    printCounts(shard.name.toStdString() + " (" + std::to_string(shard.runs.size()) + " reports)",
                timer.elapsed());
    std::cout << "  " << leftOut.size() << " reports left out, the engine refuses them as read"
              << (leftOut.isEmpty() ? "" : ":\n    ") << leftOut.join(u"\n    "_s).toStdString()
              << '\n';
    EXPECT_TRUE(failed.isEmpty()) << "the engine refuses saves of:\n  "
                                  << failed.join(u"\n  "_s).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Reports, RandomEditsEngine, testing::ValuesIn(RandomEditRuns::reports()),
                         [](const testing::TestParamInfo<RandomEditRuns::Report> &info) {
                             return testsupport::caseName(info.index, info.param.name);
                         });

INSTANTIATE_TEST_SUITE_P(Corpus, RandomEditsEngineCorpus,
                         testing::ValuesIn(RandomEditRuns::corpusShards()),
                         [](const testing::TestParamInfo<RandomEditRuns::Shard> &info) {
                             return info.param.name.toStdString();
                         });
