#include "document/DocumentStore.h"
#include "engine/SidecarClient.h"
#include "setup/NewReportCreation.h"
#include "setup/NewReportWizardState.h"
#include "workspace/WorkspaceModel.h"

#include "EngineTestSupport.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(NewReportEngine, AReportWithAHeaderAndStylesSavesAndPrints)
{
    QUILLMARK_REQUIRE_ENGINE();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    WorkspaceModel workspace;
    NewReportWizardState state;
    state.setPreset(PageFormatPreset::letterLandscape);
    state.setHeaderStyle(StarterHeaderStyle::slateGray);
    state.addStyle();
    state.addStyle();
    ReportStyle heading = state.styles().first();
    heading.name = u"Heading"_s;
    heading.isDefault = true;
    heading.fontName = u"DejaVu Sans"_s;
    heading.isBold = true;
    heading.foreColor = ElementColor{u"#102030"_s};
    heading.backColor = ElementColor{u"#F0E0D0"_s};
    state.replaceStyle(0, heading);
    DocumentStore &store = NewReportCreation::createReport(workspace, state);

    const QString jrxml = dir.filePath(u"Fresh.jrxml"_s);
    store.save(QUrl::fromLocalFile(jrxml));
    ASSERT_FALSE(store.isDirty());
    SidecarClient client;
    client.start(*location);
    const QString pdf = dir.filePath(u"Fresh.pdf"_s);
    try {
        client.send(u"render"_s, QJsonObject{{u"jrxmlPath"_s, jrxml},
                                             {u"jasperPath"_s, dir.filePath(u"Fresh.jasper"_s)},
                                             {u"jrprintPath"_s, dir.filePath(u"Fresh.jrprint"_s)},
                                             {u"pdfPath"_s, pdf}});
    } catch (const std::exception &error) {
        FAIL() << "the engine refused the new report: " << error.what();
    }
    EXPECT_TRUE(testsupport::readFile(pdf).startsWith("%PDF"));
}
