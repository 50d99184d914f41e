#pragma once
// The gradient editor as a component: it owns the gradient that the editor
// dialog edits in place.
#include "gradient/GradObj.h"

#include <QObject>

#include <memory>

namespace pelmora {

class TGradDialog : public QObject {
    Q_OBJECT
public:
    explicit TGradDialog(QObject* parent = nullptr);
    ~TGradDialog() override;

    // Loaded by the caller before Execute and read after a true result. The
    // dialog changes it while it is open, also when it is cancelled.
    TGrad& Gradation() { return *Gradation_; }
    const TGrad& Gradation() const { return *Gradation_; }

    // Shows the editor modally on Gradation; true when it was closed with OK.
    bool Execute();

private:
    std::unique_ptr<TGrad> Gradation_;
};

} // namespace pelmora
