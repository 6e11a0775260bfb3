#pragma once

#include "common/ui/platform.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace vantero::ui {

// A Platform for tests: it shows nothing, records every box in order as
// "<kind>: <text>", answers the file dialogs from a queue of prepared paths
// (an empty path, or nothing prepared, means the user cancels), keeps what
// each save dialog offered and counts requests to end.
class RecordingPlatform final : public Platform {
public:
    QStringList boxes; // "failure: ...", "error: ...", "warning: ..."
    QStringList openAnswers;
    QStringList saveAnswers;
    int openDialogs = 0;
    int saveDialogs = 0;
    std::vector<SaveOffer> saveOffers;
    int endRequests = 0;
    // Runs while a box is up, as the user would act before dismissing it.
    std::function<void(const QString& box)> whileBoxIsUp;

    void showFailure(QWidget*, const QString& text) override { record("failure", text + "."); }
    void showError(QWidget*, const QString& text) override { record("error", text); }
    void showWarning(QWidget*, const QString& text) override { record("warning", text); }
    std::optional<QString> askOpenFileName(QWidget*) override {
        ++openDialogs;
        return next(openAnswers);
    }
    std::optional<QString> askSaveFileName(QWidget*, const SaveOffer& offer) override {
        ++saveDialogs;
        saveOffers.push_back(offer);
        return next(saveAnswers);
    }
    void endApplication() override { ++endRequests; }

private:
    void record(const char* kind, const QString& text) {
        boxes << QString::fromLatin1(kind) + QStringLiteral(": ") + text;
        if (whileBoxIsUp) {
            whileBoxIsUp(boxes.back());
        }
    }
    static std::optional<QString> next(QStringList& answers) {
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        if (answer.isEmpty()) {
            return std::nullopt;
        }
        return answer;
    }
};

} // namespace vantero::ui
