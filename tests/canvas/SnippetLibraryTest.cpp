#include "canvas/SnippetLibrary.h"
#include "ModelBuilders.h"
#include "model/JrxmlCodec.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testsupport::element;

namespace {

// A settings file of its own for each test.
struct SnippetSettings {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(u"settings.ini"_s), QSettings::IniFormat};

    QByteArray stored() { return settings.value(SnippetLibrary::settingsKey).toByteArray(); }
};

ReportElement frameWithTwoTextFields()
{
    ReportElement frame =
        element(ElementKind::Frame{{element(ElementKind::TextField{u"$F{a}"_s}),
                                    element(ElementKind::TextField{u"$F{b}"_s})}});
    frame.x = 12;
    frame.width = 222;
    return frame;
}

QSet<QUuid> idsOf(const ReportElement &e)
{
    QSet<QUuid> ids{e.id};
    for (const ReportElement &child : *e.kind.children())
        ids.insert(child.id);
    return ids;
}

} // namespace

TEST(SnippetLibrary, AFrameRoundTripsThroughTheSettingsWithFreshIdsOnEveryInsert)
{
    SnippetSettings s;
    const ReportElement frame = frameWithTwoTextFields();
    {
        SnippetLibrary library(s.settings);
        EXPECT_FALSE(s.settings.contains(SnippetLibrary::settingsKey)) << "nothing stored at start";
        library.save(frame, u"Box"_s);
        library.save(frame, u"Box"_s, u"javascript"_s);
        ASSERT_EQ(library.snippets().size(), 2);
        EXPECT_NE(library.snippets()[0].id, library.snippets()[1].id);
    }
    SnippetLibrary reloaded(s.settings);
    ASSERT_EQ(reloaded.snippets().size(), 2);
    EXPECT_EQ(reloaded.snippets()[0].name, u"Box"_s);
    // The language of the report saved from, where it was given; none is written for none.
    EXPECT_EQ(reloaded.snippets()[0].language, QString());
    EXPECT_EQ(reloaded.snippets()[1].language, u"javascript"_s);
    EXPECT_EQ(s.stored().count("\"language\""), 1);
    EXPECT_TRUE(s.stored().contains(idText(reloaded.snippets()[0].id).toUtf8()))
        << "ids are stored in upper case";

    const std::optional<ReportElement> first = reloaded.makeElement(reloaded.snippets()[0]);
    const std::optional<ReportElement> second = reloaded.makeElement(reloaded.snippets()[0]);
    ASSERT_TRUE(first && second);
    ASSERT_EQ(first->kind.children()->size(), 2);
    EXPECT_EQ(first->kind.children()->at(1).kind, frame.kind.children()->at(1).kind);
    EXPECT_EQ(first->x, 12);
    EXPECT_EQ(first->width, 222);
    const QSet<QUuid> a = idsOf(*first), b = idsOf(*second);
    EXPECT_EQ(a.size(), 3);
    EXPECT_FALSE(a.intersects(b));
    EXPECT_FALSE(a.intersects(idsOf(frame)));

    EXPECT_EQ(reloaded.makeElement({newId(), u"empty"_s, QString()}), std::nullopt);
}

TEST(SnippetLibrary, InsertedCopiesDropTheFilesOwnIdentifier)
{
    SnippetSettings s;
    SnippetLibrary library(s.settings);
    const QString uuid = u"3C2A5E7D-1111-4222-8333-944445555666"_s;
    const std::optional<ReportElement> read = JrxmlCodec::parseSnippet(
        u"<staticText><reportElement uuid=\""_s + uuid +
        u"\" x=\"0\" y=\"0\" width=\"100\" height=\"20\"/><text><![CDATA[Hi]]></text>"
        u"</staticText>"_s);
    ASSERT_TRUE(read);
    ASSERT_TRUE(JrxmlCodec::serializeElement(*read, {}).contains(uuid)) << "the reader keeps it";
    library.save(*read, u"Label"_s);

    for (int copy = 0; copy < 2; ++copy) {
        const std::optional<ReportElement> inserted = library.makeElement(library.snippets()[0]);
        ASSERT_TRUE(inserted);
        EXPECT_FALSE(JrxmlCodec::serializeElement(*inserted, {}).contains(uuid));
        EXPECT_NE(inserted->id, read->id);
    }
}

TEST(SnippetLibrary, RemoveTakesEveryRecordWithTheIdAndWritesEvenWhenNoneMatched)
{
    SnippetSettings s;
    const QString id = u"0f8fad5b-d9cb-469f-a165-70867728950e"_s; // lower case reads too
    s.settings.setValue(SnippetLibrary::settingsKey, QByteArray(R"([{"id":")" + id.toUtf8() +
                                                                R"(","name":"a","xml":"","x":1},
                                       {"id":")" + id.toUtf8() + R"(","name":"b","xml":""}])"));
    SnippetLibrary library(s.settings);
    ASSERT_EQ(library.snippets().size(), 2);
    EXPECT_FALSE(s.stored().contains("\"x\"")) << "written back at once without extra members";
    s.settings.remove(SnippetLibrary::settingsKey);
    library.remove(newId());
    EXPECT_EQ(library.snippets().size(), 2);
    EXPECT_TRUE(s.settings.contains(SnippetLibrary::settingsKey));
    library.remove(QUuid::fromString(id));
    EXPECT_TRUE(library.snippets().isEmpty());
    EXPECT_EQ(s.stored(), "[]");
}

TEST(SnippetLibrary, AnUnreadableStoredListIsCopiedAsideBeforeTheFirstWrite)
{
    const QByteArray valid = R"({"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","name":"a","xml":""})";
    const QList<QByteArray> unreadable = {
        "not json",
        "{}",
        "[" + valid + R"(,{"id":"0F8FAD5B-D9CB-469F-A165-70867728950F","name":"b"}])",
        R"([{"id":"{0F8FAD5B-D9CB-469F-A165-70867728950E}","name":"a","xml":""}])",
        R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","name":3,"xml":""}])",
        R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","name":"a","xml":"","language":3}])",
        "[1]",
    };
    for (const QByteArray &data : unreadable) {
        SCOPED_TRACE(data.toStdString());
        SnippetSettings s;
        s.settings.setValue(SnippetLibrary::settingsKey, data);
        SnippetLibrary library(s.settings);
        EXPECT_TRUE(library.snippets().isEmpty());
        EXPECT_EQ(s.stored(), data) << "kept until the first change";
        EXPECT_FALSE(s.settings.contains(SnippetLibrary::unreadableSettingsKey));

        library.save(element(ElementKind::Rectangle{}), u"r"_s);
        EXPECT_EQ(s.settings.value(SnippetLibrary::unreadableSettingsKey).toByteArray(), data);
        ASSERT_EQ(SnippetLibrary::decode(s.stored())->size(), 1);
        EXPECT_EQ(SnippetLibrary::decode(s.stored())->first().name, u"r"_s);

        // A later change leaves the copy alone.
        s.settings.setValue(SnippetLibrary::unreadableSettingsKey, "kept");
        library.remove(library.snippets().first().id);
        EXPECT_EQ(s.settings.value(SnippetLibrary::unreadableSettingsKey).toByteArray(), "kept");
    }
}
