#include "gui/language_setup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTranslator>
#include <iostream>

namespace corvane {
namespace {

// Qt's own texts: one translator at a time, replaced when a window of
// another language starts in the same process.
bool installQtTranslations(const std::string& language) {
  static QTranslator* installed = nullptr;
  static std::string installedLanguage;
  if (installed && installedLanguage == language) return true;
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
    installedLanguage.clear();
  }
  if (language == "en" || language == "C") return true;
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(QString::fromStdString(language)), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  installedLanguage = language;
  return true;
}

void useJapaneseFont() {
  const QString family = japaneseFontFamily();
  if (family.isEmpty()) {
    std::cerr << "corvane: no Japanese font is installed; Japanese texts may not show\n";
    return;
  }
  QFont font = QApplication::font();
  font.setFamily(family);
  QApplication::setFont(font);
}

class ReturnPressesButtons : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat()) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled()) return false;
    button->animateClick();
    return true;
  }
};

}  // namespace

bool useLanguage(const std::string& language) {
  if (language == "ja") useJapaneseFont();
  return installQtTranslations(language);
}

QString japaneseFontFamily() {
  const QStringList installed = QFontDatabase::families(QFontDatabase::Japanese);
  for (const char* wanted : {"IPAPGothic", "Noto Sans CJK JP", "IPAexGothic", "VL PGothic", "TakaoPGothic", "IPAGothic",
                             "VL Gothic", "TakaoGothic"})
    if (installed.contains(QString(wanted))) return wanted;
  return installed.isEmpty() ? QString() : installed.front();
}

void pressButtonsWithReturn() {
  static bool installed = false;
  if (installed || !QCoreApplication::instance()) return;
  installed = true;
  QCoreApplication::instance()->installEventFilter(new ReturnPressesButtons(QCoreApplication::instance()));
}

}  // namespace corvane
