#include "gui/network_err_panel.h"

#include <QHeaderView>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "app/repair_panel_model.h"
#include "gui/panel_window.h"
#include "ui_network_err_panel.h"

namespace corvane {
namespace {
constexpr int kCellPadding = 16;
constexpr int kMessageMinHeight = 64;
}  // namespace

NetworkErrPanel::NetworkErrPanel(const GuiResources& resources, QWidget* parent)
    : QDialog(parent), resources_(resources), ui_(std::make_unique<Ui::NetworkErrPanel>()) {
  ui_->setupUi(this);
  setWindowTitle(resources.string("title"));
  ui_->icon->setPixmap(resources.appIcon.pixmap(64, 64));
  ui_->noButton->setText(resources.text("repairNo"));
  connect(ui_->yesButton, &QPushButton::clicked, this, &NetworkErrPanel::OnYes);
  connect(ui_->noButton, &QPushButton::clicked, this, &NetworkErrPanel::OnNo);

  QTableWidget* table = ui_->ResultView;
  table->horizontalHeader()->hide();
  table->verticalHeader()->hide();
  table->setShowGrid(false);
  table->setWordWrap(false);
  table->setTextElideMode(Qt::ElideNone);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
  table->setColumnWidth(0, 190);
  ui_->AlertView->viewport()->setAutoFillBackground(false);
}

NetworkErrPanel::~NetworkErrPanel() = default;

QTableWidget* NetworkErrPanel::ResultView() const { return ui_->ResultView; }
QTextEdit* NetworkErrPanel::AlertView() const { return ui_->AlertView; }
QPushButton* NetworkErrPanel::YesButton() const { return ui_->yesButton; }

int NetworkErrPanel::showPanel(const std::string& message,
                               const std::vector<std::pair<std::string, std::string>>& pairs, bool fixKit) {
  ui_->yesButton->setText(resources_.text(fixKit ? "repairMakeKit" : "repairYes"));
  QTableWidget* table = ui_->ResultView;
  table->setColumnWidth(1, kResultWidth);
  const std::vector<RepairPanelRow> rows = repairPanelRows(pairs);
  table->clearContents();
  table->setRowCount(static_cast<int>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r) {
    auto* name = new QTableWidgetItem(qtText(rows[r].name));
    auto* result = new QTableWidgetItem(qtText(rows[r].result));
    name->setFlags(Qt::ItemIsEnabled);
    result->setFlags(Qt::ItemIsEnabled);
    table->setItem(static_cast<int>(r), 0, name);
    table->setItem(static_cast<int>(r), 1, result);
  }
  table->scrollToTop();
  widenColumns();
  ui_->AlertView->setPlainText(qtText(message));
  fitMessage();

  return runPanel(this) == 1 ? 1 : 0;
}

void NetworkErrPanel::widenColumns() {
  QTableWidget* table = ui_->ResultView;
  const QFontMetrics metrics = table->fontMetrics();
  for (int column = 0; column < 2; ++column) {
    for (int row = 0; row < table->rowCount(); ++row) {
      const QTableWidgetItem* item = table->item(row, column);
      if (item == nullptr) continue;
      const int natural = metrics.horizontalAdvance(item->text()) + kCellPadding;
      if (natural > table->columnWidth(column)) table->setColumnWidth(column, natural);
    }
  }
  // Show both columns whole when the screen allows; beyond that the table scrolls.
  int wanted = table->columnWidth(0) + table->columnWidth(1) + 2 * table->frameWidth() +
               table->verticalScrollBar()->sizeHint().width();
  int limit = screen() ? screen()->availableGeometry().width() - 140 : 900;
  table->setMinimumWidth(std::min(wanted, std::max(limit, 480)));
  // As tall as its rows (at least four), with room for a scroll bar.
  const int rows = std::max(table->rowCount(), 4);
  table->setFixedHeight(rows * table->verticalHeader()->defaultSectionSize() + 2 * table->frameWidth() +
                        table->horizontalScrollBar()->sizeHint().height());
}

void NetworkErrPanel::fitMessage() {
  QTextEdit* view = ui_->AlertView;
  if (layout()) layout()->activate();
  QTextDocument* document = view->document();
  document->setTextWidth(view->viewport()->width());
  const int needed = static_cast<int>(std::ceil(document->size().height())) + 2 * view->frameWidth();
  const int limit = screen() ? screen()->availableGeometry().height() / 3 : 240;
  view->setFixedHeight(std::max(kMessageMinHeight, std::min(needed, limit)));
}

void NetworkErrPanel::OnYes() {
  hide();
  done(1);
}

void NetworkErrPanel::OnNo() {
  hide();
  done(0);
}

}  // namespace corvane
