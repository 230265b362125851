#pragma once

#include "model/Identifiers.h"
#include "model/ReportElement.h"

namespace testsupport {

// A new element of the given kind with a fresh id and every other field at its default.
inline ReportElement element(ElementKind kind)
{
    ReportElement e;
    e.id = newId();
    e.kind = std::move(kind);
    return e;
}

} // namespace testsupport
