#include "ui/qt/translations.h"

#include <string>
#include <vector>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace lumiq::ui::qt {

namespace {

QPointer<QTranslator> programCatalogue;
QPointer<QTranslator> qtCatalogue;

// Installs the catalogue `name` from `folder`; nullptr when it is missing.
QTranslator* Installed(const QString& name, const QString& folder) {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(name, folder) && QCoreApplication::installTranslator(translator)) {
    return translator;
  }
  delete translator;
  return nullptr;
}

}  // namespace

QString Translated(const char* source) {
  if (!source || !*source) return QString();
  return QCoreApplication::translate(kCatalogueContext, source);
}

i18n::Language SystemLanguage() {
  std::vector<std::string> names;
  for (const QString& name : QLocale::system().uiLanguages()) names.push_back(name.toStdString());
  return i18n::LanguageForUiLanguages(names);
}

void ForgetLanguage() {
  i18n::SetLanguage(i18n::Language::kChinese);
  // Deleting a translator removes it from the application.
  delete programCatalogue;
  delete qtCatalogue;
}

bool UseLanguage(i18n::Language language) {
  ForgetLanguage();
  i18n::SetLanguage(language);
  if (language == i18n::Language::kChinese) {
    // The source texts need no catalogue; Qt's own buttons and dialogs do.
    qtCatalogue = Installed(QStringLiteral("qtbase_zh_CN"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return !qtCatalogue.isNull();
  }
  programCatalogue = Installed(QStringLiteral("lumiq_%1")
                                   .arg(QString::fromLatin1(i18n::LanguageName(language))),
                               QStringLiteral(":/lumiq/i18n"));
  return !programCatalogue.isNull();
}

}  // namespace lumiq::ui::qt
