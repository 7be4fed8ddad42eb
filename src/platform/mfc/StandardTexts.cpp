#include "platform/mfc/StandardTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace Tessor::mfc {

bool useStandardTexts(const QString& name)
{
    static std::unique_ptr<QTranslator> loaded;
    if (loaded) {
        QCoreApplication::removeTranslator(loaded.get());
        loaded.reset();
    }
    if (name.isEmpty()) {
        return true;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load("qtbase_" + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    loaded = std::move(translator);
    return true;
}

}  // namespace Tessor::mfc
