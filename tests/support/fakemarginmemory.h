// The margins answers kept in memory, for exact tests: what was remembered, and a failure to
// keep them on demand.
#pragma once

#include <QMap>

#include "platform/marginmemory.h"

namespace quarzello {

class FakeMarginMemory final : public MarginMemory {
  public:
    QMap<QString, MarginChoice> answers;
    QString failure;  // when set, nothing is kept and remember fails with it

    std::optional<MarginChoice> recalled(const QString& printer) override {
        if (!answers.contains(printer)) return std::nullopt;
        return answers.value(printer);
    }
    Result<void> remember(const QString& printer, MarginChoice choice) override {
        if (!failure.isEmpty()) return Failure{failure};
        if (choice != MarginChoice::Cancel) answers[printer] = choice;
        return {};
    }
};

}  // namespace quarzello
