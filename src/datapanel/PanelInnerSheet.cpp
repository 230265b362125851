#include "datapanel/PanelInnerSheet.h"

#include "datapanel/DataPanelView.h"
#include "widgets/SheetDialog.h"

#include <QPushButton>
#include <QVBoxLayout>

QPushButton *sheetButton(const QString &title, const QString &sheet, const QString &part,
                         QWidget *parent)
{
    auto *button = new QPushButton(title, parent);
    button->setObjectName(sheet + u'.' + part);
    button->setAutoDefault(false);
    return button;
}

PanelInnerSheet::PanelInnerSheet(DataPanelView *panel) : QObject(panel), panel_(panel) {}

PanelInnerSheet::~PanelInnerSheet()
{
    delete dialog_.data();
}

SheetDialog *PanelInnerSheet::dialog() const
{
    return dialog_;
}

void PanelInnerSheet::setShown(bool shown)
{
    if (!shown) {
        if (dialog_)
            dialog_->setShown(false);
        return;
    }
    if (!dialog_) {
        dialog_ = new SheetDialog(panel_->window(), [self = QPointer<PanelInnerSheet>(this)] {
            if (self)
                self->dismissed();
        });
        auto *layout = new QVBoxLayout(dialog_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(makeContent(dialog_));
    }
    showing();
    dialog_->setShown(true);
}
