// An edit with an up-down control: a number typed past its range is brought
// to the nearest bound, so the edit always shows the position it reports.
// "999" in a box of 0..127 shows 127; a plain spin box would drop the last
// key and report 99.
#pragma once

#include <QSpinBox>

namespace Tessor::mfc {

class UpDownEdit : public QSpinBox {
public:
    explicit UpDownEdit(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
};

}  // namespace Tessor::mfc
