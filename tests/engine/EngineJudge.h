#pragma once

#include "EngineTestSupport.h"
#include "engine/SidecarClient.h"
#include "model/JrxmlCodec.h"

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <exception>

namespace testsupport {

using namespace Qt::StringLiterals;

// The real engine as the judge of what the designer writes: it compiles or prints a report as
// the designer saves it and answers the engine's complaint, or no value when it has none. One
// engine process serves every question of a test.
class EngineJudge {
public:
    explicit EngineJudge(const SidecarClient::Location &location) { client_.start(location); }

    // The report's compile: the engine's complaint, or no value.
    std::optional<QString> compileError(const ReportDocument &report)
    {
        return compileError(JrxmlCodec::serialize(report));
    }
    std::optional<QString> compileError(const QByteArray &jrxml)
    {
        const QString name = nextName();
        return ask(u"compile"_s, {{u"jrxmlPath"_s, write(name, jrxml)},
                                  {u"jasperPath"_s, dir_.filePath(name + u".jasper"_s)}});
    }

    // The report compiled, filled with one empty record and printed as a PDF, whose path
    // `pdfPath` receives: the engine's complaint, or no value.
    std::optional<QString> printError(const ReportDocument &report, QString *pdfPath = nullptr)
    {
        const QString name = nextName();
        const QString pdf = dir_.filePath(name + u".pdf"_s);
        if (pdfPath)
            *pdfPath = pdf;
        return ask(u"render"_s, {{u"jrxmlPath"_s, write(name, JrxmlCodec::serialize(report))},
                                 {u"jasperPath"_s, dir_.filePath(name + u".jasper"_s)},
                                 {u"jrprintPath"_s, dir_.filePath(name + u".jrprint"_s)},
                                 {u"pdfPath"_s, pdf}});
    }

    QString folder() const { return dir_.path(); }

private:
    QString nextName() { return u"Report"_s + QString::number(++count_); }

    QString write(const QString &name, const QByteArray &jrxml)
    {
        const QString path = dir_.filePath(name + u".jrxml"_s);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(jrxml);
        return path;
    }

    std::optional<QString> ask(const QString &command, const QJsonObject &params)
    {
        try {
            client_.send(command, params, std::chrono::seconds(120));
            return std::nullopt;
        } catch (const std::exception &error) {
            return QString::fromUtf8(error.what());
        }
    }

    QTemporaryDir dir_;
    SidecarClient client_;
    int count_ = 0;
};

// The judge of a test that also runs without the engine: its engine starts at the first
// question, and without Java or the jar every answer is no complaint.
class JudgeWhereAtHand {
public:
    // The engine's complaint about compiling the report, or no value (also without an engine).
    std::optional<QString> compileError(const ReportDocument &report)
    {
        return judge() ? judge_->compileError(report) : std::nullopt;
    }
    // The same for a report's text, as a file holds it.
    std::optional<QString> compileError(const QByteArray &jrxml)
    {
        return judge() ? judge_->compileError(jrxml) : std::nullopt;
    }

private:
    // Whether there is an engine; it starts at the first question.
    bool judge()
    {
        if (!judge_) {
            const std::optional<SidecarClient::Location> location = realEngine();
            if (!location)
                return false;
            judge_.emplace(*location);
        }
        return true;
    }

    std::optional<EngineJudge> judge_;
};

} // namespace testsupport
