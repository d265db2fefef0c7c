#include "gui/open_capture_page.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/gui_resources.h"

namespace corvane {
namespace {

// The first local file or folder of a drag, or "".
QString droppedPath(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

// Qt's own file dialog takes files only and walks into a folder; a capture
// is a folder as well, so Open on a selected folder takes that folder.
class CaptureDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  QString chosen;

  void accept() override {
    const QStringList files = selectedFiles();
    if (files.size() == 1 && QFileInfo(files.front()).isDir()) {
      chosen = files.front();
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
    if (result() == Accepted && !selectedFiles().isEmpty()) chosen = selectedFiles().front();
  }
};

}  // namespace

OpenCapturePage::OpenCapturePage(const GuiResources& resources, std::function<void(const std::string&)> open)
    : resources_(resources),
      open_(std::move(open)),
      explanation_(new QLabel(this)),
      failure_(new QLabel(this)),
      button_(new QPushButton(resources.text("OpenCaptureButton"), this)) {
  setWindowIcon(resources.appIcon);
  setWindowTitle(resources.text("OpenCaptureTitle"));
  setAcceptDrops(true);
  explanation_->setWordWrap(true);
  failure_->setWordWrap(true);
  failure_->setStyleSheet("color: #b00020;");
  failure_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 24, 24, 24);
  layout->setSpacing(16);
  layout->addWidget(explanation_);
  layout->addWidget(failure_);
  layout->addWidget(button_, 0, Qt::AlignRight);
  setMinimumWidth(460);
  connect(button_, &QPushButton::clicked, this, [this] { chooseCapture(); });
}

void OpenCapturePage::showRoot(const std::string& rootName, const std::string& failure) {
  explanation_->setText(resources_.text("OpenCaptureExplanation").replace("%@", QString::fromStdString(rootName)));
  failure_->setText(QString::fromStdString(failure));
  failure_->setVisible(!failure.empty());
}

QString OpenCapturePage::explanation() const { return explanation_->text(); }
QString OpenCapturePage::failure() const { return failure_->isVisible() ? failure_->text() : QString(); }

void OpenCapturePage::chooseCapture() {
  CaptureDialog dialog(this, resources_.text("OpenCaptureButton"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({resources_.text("OpenCaptureFilter") + " (*.tar.gz *.tgz)", "* (*)"});
  if (dialog.exec() != QDialog::Accepted || dialog.chosen.isEmpty()) return;
  open_(dialog.chosen.toStdString());
}

void OpenCapturePage::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void OpenCapturePage::dropEvent(QDropEvent* event) {
  const QString path = droppedPath(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  open_(path.toStdString());
}

}  // namespace corvane
