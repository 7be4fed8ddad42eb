// The port-number button of a production channel: a label that shows the
// port's number or its device and state, narrowed when the text is longer
// than the button.
#pragma once

#include <QPushButton>

namespace Tessor::page {

class ChannelButton : public QPushButton {
public:
    ChannelButton(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace Tessor::page
