#pragma once
// What every persisted control shares: a value name in the program's settings key (NamedAs) and
// one binding to its settings variable, made when the window calls Loaded after building itself
// from its form and before its creation handler runs. A control that is never loaded stays an
// ordinary control and stores nothing.

#include <QString>

class QWidget;

namespace elsetry {

class IPersistedControl {
public:
    virtual ~IPersistedControl() = default;
    // Binds the control to its settings value and shows the stored value; later calls do nothing.
    virtual void Loaded() = 0;

protected:
    IPersistedControl() = default;
    IPersistedControl(const IPersistedControl&) = default;
    IPersistedControl& operator=(const IPersistedControl&) = default;

    // The first binding steps: false when the control is bound already; otherwise an empty
    // NamedAs becomes the control's object name, under which its value is stored from then on.
    static bool BeginBinding(const QWidget& Control, QString& NamedAs, bool Bound);
};

// Calls Loaded on every persisted control in Form's widget tree, in creation order.
void LoadPersistedControls(QWidget& Form);

} // namespace elsetry
