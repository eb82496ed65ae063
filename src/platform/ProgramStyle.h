#pragma once

#include <QProxyStyle>

namespace zelvora {

// The desktop's own style with two habits of its own:
// - access keys are underlined only while Alt is held, and always in an open menu, where a
//   letter alone chooses an entry;
// - a plain frame (the game list's, a read-only box's) keeps all four sides at any scaling: the
//   style's one-pixel outline falls between device pixels at 150% and loses its top and left.
class ProgramStyle : public QProxyStyle {
    Q_OBJECT

public:
    ProgramStyle();

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    bool AltHeld() const { return altHeld_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetAltHeld(bool held);

    bool altHeld_ = false;
};

} // namespace zelvora
