#pragma once

#include "model/ReportBand.h"

#include <QString>

struct BandContext;

// What the pointer shows while a drag on the canvas goes past what the page holds a band at: the
// Band Height field's words for that band.
namespace bandlimit {

// The field's words for the band of `target` asked to be `height` points high; empty when the
// page holds the band that high.
QString words(const BandContext &context, const BandTarget &target, double height);

// The words one drag shows at the pointer: they change only when the drag tells other words,
// and go when it tells none or ends.
class Tip {
public:
    Tip() = default;
    Tip(const Tip &) = delete;
    Tip &operator=(const Tip &) = delete;
    ~Tip() { tell({}); }

    void tell(const QString &words);
    const QString &shown() const { return shown_; }

private:
    QString shown_;
};

} // namespace bandlimit
