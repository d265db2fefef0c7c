#include "gui/hardware_panel.h"

#include <QHeaderView>

#include "gui/panel_window.h"
#include "ui_hardware_panel.h"

namespace corvane {

HardwarePanel::HardwarePanel(const GuiResources& resources, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::HardwarePanel>()) {
  ui_->setupUi(this);
  setWindowTitle(resources.string("hardwarePanel"));
  ui_->heading->setText(resources.string("hardwarePanel"));
  stylePanelHeading(ui_->heading);
  ui_->okButton->setText(resources.string("OK"));
  connect(ui_->okButton, &QPushButton::clicked, this, &HardwarePanel::OnOK);
  QTableWidget* table = ui_->view;
  table->setHorizontalHeaderLabels({resources.string("volume"), resources.string("free"), resources.string("all")});
  table->verticalHeader()->hide();
  table->setAlternatingRowColors(true);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column : {1, 2}) {
    table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
    table->setColumnWidth(column, 120);
  }
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setMinimumWidth(520);
}

HardwarePanel::~HardwarePanel() = default;

int HardwarePanel::showPanel(const std::vector<VolumeRow>& volumes) {
  QTableWidget* table = ui_->view;
  table->clearContents();
  table->setRowCount(static_cast<int>(volumes.size()));
  for (size_t r = 0; r < volumes.size(); ++r) {
    const VolumeRow& volume = volumes[r];
    int column = 0;
    for (const std::string* text : {&volume.volume, &volume.free, &volume.all}) {
      auto* item = new QTableWidgetItem(qtText(*text));
      item->setFlags(Qt::ItemIsEnabled);
      if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(static_cast<int>(r), column++, item);
    }
  }
  return runPanel(this);
}

void HardwarePanel::OnOK() {
  hide();
  done(0);
}

}  // namespace corvane
