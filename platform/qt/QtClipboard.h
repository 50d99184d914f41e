#pragma once
// The system clipboard through Qt, as plain text (text/plain).
#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pelmora {

class QtClipboard final : public TextClipboard {
public:
    std::optional<std::string> Text() override {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data == nullptr || !data->hasText()) {
            return std::nullopt;
        }
        return data->text().toStdString();
    }
    void SetText(const std::string& text) override {
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    }
};

} // namespace pelmora
