#include "app/SettingsAboutCard.h"
#include "app/UpdateChecker.h"
#include "widgets/CardText.h"
#include "workspace/VersionInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A licence name on a small capsule filled with the dimmed text colour.
class LicenceBadge : public QLabel {
public:
    explicit LicenceBadge(const QString &licence) : QLabel(licence)
    {
        setFont(CardText::sized(font(), CardText::caption2PointSize));
        setContentsMargins(6, 2, 6, 2);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor fill = palette().color(QPalette::WindowText);
        fill.setAlphaF(0.55F * 0.15F);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        const qreal radius = height() / 2.0;
        painter.drawRoundedRect(QRectF(rect()), radius, radius);
        painter.end();
        QLabel::paintEvent(event);
    }
};

struct Component {
    const char *name;
    const char *version;
    const char *licence;
};

constexpr Component engineComponents[] = {
    {"JasperReports & JasperReports Fonts", "6.20.3", "LGPL-3.0"},
    {"OpenPDF", "1.3.30", "LGPL-2.1 / MPL-2.0"},
    {"Mozilla Rhino", "1.7.14", "MPL-2.0"},
    {"Apache Groovy", "3.0.19", "Apache-2.0"},
    {"PostgreSQL JDBC Driver", "42.7.4", "BSD-2-Clause"},
    {"Microsoft JDBC Driver for SQL Server", "12.8.1", "MIT"},
};

} // namespace

QString SettingsAboutCard::appVersion(const VersionInfo &version)
{
    const QString shortVersion = version.shortVersion.isEmpty() ? u"0.0"_s : version.shortVersion;
    if (version.build.isEmpty())
        return shortVersion;
    return shortVersion % u" ("_s % version.build % u')';
}

SettingsAboutCard::SettingsAboutCard(UpdateChecker &checker, const VersionInfo &version,
                                     QWidget *parent)
    : CardSection(u"About"_s, std::nullopt, parent), checker_(checker),
      updateButton_(new QPushButton(u"Check for Updates…"_s)), spinner_(new QProgressBar),
      message_(CardText::note(QString(), nullptr, CardText::caption2PointSize)),
      disclosure_(new QToolButton), components_(componentList())
{
    column()->setSpacing(6);
    auto *title = new QLabel(u"Quillmark "_s % appVersion(version));
    title->setObjectName(u"versionText"_s);
    QFont bold = CardText::sized(title->font(), CardText::bodyPointSize);
    bold.setBold(true);
    title->setFont(bold);
    addWidget(title);

    auto *checkRow = new QHBoxLayout;
    checkRow->setSpacing(8);
    spinner_->setRange(0, 0);
    spinner_->setTextVisible(false);
    spinner_->setFixedSize(60, 10);
    checkRow->addWidget(updateButton_, 0, Qt::AlignLeft);
    checkRow->addWidget(spinner_, 0, Qt::AlignLeft);
    // The message wraps within the card rather than widening the window.
    checkRow->addWidget(message_, 1);
    addLayout(checkRow);
    connect(updateButton_, &QPushButton::clicked, this, &SettingsAboutCard::checkForUpdatesNow);

    addWidget(CardText::note(
        u"Produces standard JasperReports .jrxml/.jasper files by driving the real, unmodified "
        "JasperReports engine as a separate process - none of that engine's own code is part of "
        "this app."_s));

    disclosure_->setText(u"Open-Source Components"_s);
    disclosure_->setFont(CardText::sized(font(), CardText::captionPointSize));
    disclosure_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    disclosure_->setArrowType(Qt::RightArrow);
    disclosure_->setCheckable(true);
    disclosure_->setAutoRaise(true);
    addWidget(disclosure_);
    addWidget(components_);
    components_->setVisible(false);
    connect(disclosure_, &QToolButton::toggled, this, [this](bool open) {
        disclosure_->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        components_->setVisible(open);
    });
    refresh();
}

QWidget *SettingsAboutCard::componentList()
{
    auto *list = new QWidget;
    list->setObjectName(u"components"_s);
    list->setFont(CardText::sized(font(), CardText::captionPointSize));
    auto *column = new QVBoxLayout(list);
    column->setContentsMargins(0, 6, 0, 0);
    column->setSpacing(8);
    for (const Component &component : engineComponents) {
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(QString::fromUtf8(component.name)));
        row->addStretch();
        auto *version = new QLabel(QString::fromUtf8(component.version));
        CardText::makeSecondary(version);
        row->addWidget(version);
        row->addWidget(new LicenceBadge(QString::fromUtf8(component.licence)));
        column->addLayout(row);
    }
    column->addSpacing(2);
    column->addWidget(CardText::note(
        u"Full version/license details and source links: see README.md's \"Third-Party "
        "Notices\" section in the project repository."_s,
        nullptr, CardText::caption2PointSize));
    return list;
}

void SettingsAboutCard::checkForUpdatesNow()
{
    isChecking_ = true;
    resultMessage_.reset();
    refresh();
    checker_.checkNow(this, [this](const UpdateChecker::CheckResult &result) {
        isChecking_ = false;
        switch (result.kind) {
        case UpdateChecker::CheckResult::Kind::updateAvailable:
            resultMessage_ = u"Version "_s % result.info.version % u" is available."_s;
            refresh();
            checker_.promptUpdate(result.info);
            return;
        case UpdateChecker::CheckResult::Kind::upToDate:
            resultMessage_ = u"You're on the latest version."_s;
            break;
        case UpdateChecker::CheckResult::Kind::failed:
            resultMessage_ = u"Couldn't check for updates - check your internet connection."_s;
            break;
        }
        refresh();
    });
}

void SettingsAboutCard::refresh()
{
    updateButton_->setVisible(!isChecking_);
    updateButton_->setEnabled(!isChecking_);
    spinner_->setVisible(isChecking_);
    message_->setText(resultMessage_.value_or(QString()));
    message_->setVisible(resultMessage_.has_value());
}
