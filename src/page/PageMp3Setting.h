// The MP3-player settings of the current run: the integer fields of the
// eight blocks of its MP3 configuration, shown in edits and check boxes, a
// few of them editable. Filled once when the page is first shown; every
// hide writes the editable controls back.
#pragma once

#include "page/PageConfig.h"
#include "schema/base/Sptr.h"

namespace Tessor::schema {
class Mp3Config;
}

namespace Tessor::page {

class PageMp3Setting : public PageConfig {
public:
    enum : int { IDD = 1347 };

    explicit PageMp3Setting(QWidget* parent = nullptr);

    void loadMp3Config();
    void saveMp3Config();

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    Sptr<schema::Mp3Config> m_mp3Config;
};

}  // namespace Tessor::page
