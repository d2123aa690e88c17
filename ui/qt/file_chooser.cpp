#include "ui/qt/file_chooser.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "ui/qt/translations.h"

namespace lumiq::ui::qt {

std::optional<app::ChosenFile> QtFileChooser::Choose(app::FileChoice choice) {
  const bool exporting = choice == app::FileChoice::kExport;
  QStringList filters;
  for (const app::FileFilter& filter : app::FiltersFor(choice)) {
    filters << QStringLiteral("%1 (%2)").arg(Translated(filter.name),
                                             QString::fromUtf8(filter.pattern));
  }
  QFileDialog dialog(owner_, Translated(app::FileDialogTitle(choice)));
  dialog.setNameFilters(filters);
  if (exporting) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromUtf8(app::kProfileSuffix));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString path = dialog.selectedFiles().constFirst();
  return app::ChosenFile{QFile::encodeName(path).toStdString(), path.toStdString(),
                         static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
}

}  // namespace lumiq::ui::qt
