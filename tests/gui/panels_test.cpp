// The repair panel and the detail panels on literal data: what they show,
// how their pop-ups and tables behave, and how they answer.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/hardware_panel.h"
#include "gui/mail_panel.h"
#include "gui/network_err_panel.h"
#include "gui/network_panel.h"
#include "gui/tcpip_panel.h"
#include "ui_hardware_panel.h"
#include "ui_mail_panel.h"
#include "ui_network_panel.h"
#include "ui_tcpip_panel.h"

namespace corvane {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

GuiResources english() { return GuiResources::load(Bundle(CORVANE_BUNDLE), "en"); }

// Runs show() (which runs the panel modally) and, once the panel is up,
// check() and then close().
template <typename Show>
auto whileShown(Show show, const std::function<void()>& check, const std::function<void()>& close) {
  QTimer::singleShot(0, [&] {
    check();
    close();
  });
  return show();
}

// The user picks item index of a pop-up.
void choose(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  emit box->activated(index);
}

Value proxies(std::string web, std::vector<std::string> exceptions) {
  return Value(Value::Array{Value(web), Value(""), Value(""), Value(""), Value(""), Value(""), Value(""), Value(""),
                            Value::strings(exceptions)});
}

// Two locations: "Home" (current) with two ports, "Office" with one.
Value portList() {
  Value ethernet(Value::Array{Value("Built-in Ethernet"), Value("00:0a:95:9d:68:16"),
                              proxies("proxy.example.jp:8080", {"*.local", "169.254/16", "intranet"})});
  Value airport(Value::Array{Value("AirPort"), proxies("", {})});
  Value modem(Value::Array{Value("Internal Modem"), Value(Value::Array{})});
  Value home(Value::Array{Value("Home"), Value(Value::Array{ethernet, airport})});
  Value office(Value::Array{Value("Office"), Value(Value::Array{modem})});
  return Value(Value::Array{Value("Home"), office, home});
}

TEST(NetworkErrPanelTest, ShowsThePairsAsRowsAndAnswersYesOrNo) {
  GuiResources resources = english();
  NetworkErrPanel panel(resources);
  const Pairs pairs = {{"Configure IPv4", "Manually"}, {"", ""}, {"Recommended", ""}, {"Configure IPv4", "Using DHCP"}};
  int answer = whileShown([&] { return panel.showPanel("Your TCP/IP setting differs.", pairs); },
                          [&] {
                            QTableWidget* table = panel.ResultView();
                            ASSERT_EQ(table->rowCount(), 4);
                            EXPECT_EQ(table->item(0, 1)->text(), ": Manually");
                            EXPECT_EQ(table->item(1, 1)->text(), "");
                            EXPECT_EQ(table->item(2, 0)->text(), "Recommended");
                            EXPECT_EQ(table->item(2, 1)->text(), "");
                            EXPECT_EQ(table->item(3, 1)->text(), ": Using DHCP");
                            EXPECT_EQ(panel.AlertView()->toPlainText(), "Your TCP/IP setting differs.");
                            EXPECT_EQ(table->columnWidth(1), NetworkErrPanel::kResultWidth);
                            // No row can be selected.
                            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                                              table->visualItemRect(table->item(0, 0)).center());
                            EXPECT_TRUE(table->selectedItems().isEmpty());
                          },
                          [&] { panel.OnYes(); });
  EXPECT_EQ(answer, 1);
  EXPECT_FALSE(panel.isVisible());

  answer = whileShown([&] { return panel.showPanel("again", pairs); }, [] {}, [&] { panel.OnNo(); });
  EXPECT_EQ(answer, 0);
  // Closing the panel without an answer declines.
  answer = whileShown([&] { return panel.showPanel("again", pairs); }, [] {}, [&] { panel.reject(); });
  EXPECT_EQ(answer, 0);
}

TEST(NetworkErrPanelTest, TheQuestionAndTheRepairsPlanShowWhole) {
  GuiResources resources = english();
  NetworkErrPanel panel(resources);
  const std::string message =
      "Your proxy settings differ from the recommended ones. Shall Corvane set them to the recommended settings?\n\n"
      "The repair switches to the location \"Quorvalin\".\nAirPort will be turned off.\n"
      "FireWire will be turned off.\nBluetooth will be turned off.";
  int scrollRange = -1;
  whileShown(
      [&] {
        return panel.showPanel(message, {{"Proxies", "set"}});
      },
      [&] { scrollRange = panel.AlertView()->verticalScrollBar()->maximum(); }, [&] { panel.OnNo(); });
  EXPECT_EQ(scrollRange, 0) << "the message needs scrolling";
}

TEST(NetworkErrPanelTest, ALongValueWidensTheResultColumnUntilTheNextShowing) {
  GuiResources resources = english();
  NetworkErrPanel panel(resources);
  const std::string longProxy(120, 'x');
  int widened = 0;
  whileShown(
      [&] {
        return panel.showPanel("m", {{"HTTP", longProxy + ".example.jp:8080"}});
      },
      [&] { widened = panel.ResultView()->columnWidth(1); }, [&] { panel.OnNo(); });
  EXPECT_GT(widened, NetworkErrPanel::kResultWidth);
  const int textWidth = panel.ResultView()->fontMetrics().horizontalAdvance(
      QString::fromStdString(": " + longProxy + ".example.jp:8080"));
  EXPECT_GE(widened, textWidth);

  int again = 0;
  whileShown(
      [&] {
        return panel.showPanel("m", {{"HTTP", "short:80"}});
      },
      [&] { again = panel.ResultView()->columnWidth(1); }, [&] { panel.OnNo(); });
  EXPECT_EQ(again, NetworkErrPanel::kResultWidth);
}

TEST(NetworkPanelTest, PopUpsFollowTheChosenLocationAndPortWithoutRebuilding) {
  GuiResources resources = english();
  NetworkPanel panel(resources);
  Ui::NetworkPanel& ui = panel.ui();
  whileShown([&] { return panel.showPanel(portList(), true); },
             [&] {
               ASSERT_EQ(ui.place->count(), 2);
               EXPECT_EQ(ui.place->currentText(), "Home");
               EXPECT_TRUE(ui.place->isEnabled());
               ASSERT_EQ(ui.port->count(), 2);
               EXPECT_TRUE(ui.port->isEnabled());
               EXPECT_EQ(ui.port->currentText(), "Built-in Ethernet");
               EXPECT_EQ(ui.mac->text(), "00:0a:95:9d:68:16");
               EXPECT_EQ(ui.web->text(), "proxy.example.jp:8080");
               EXPECT_EQ(ui.noProxy->toPlainText(), "*.local\n169.254/16\nintranet");

               choose(ui.port, 1);  // AirPort: no address, no proxies set
               EXPECT_EQ(ui.mac->text(), "");
               EXPECT_EQ(ui.web->text(), "");
               EXPECT_EQ(ui.noProxy->toPlainText(), "");

               // Choosing the location that is shown keeps the chosen port.
               QSignalSpy rebuilt(ui.port->model(), &QAbstractItemModel::rowsRemoved);
               choose(ui.place, 1);
               EXPECT_EQ(rebuilt.count(), 0);
               EXPECT_EQ(ui.port->currentIndex(), 1);

               choose(ui.place, 0);  // Office: one port, a modem with an empty proxy list
               ASSERT_EQ(ui.port->count(), 1);
               EXPECT_EQ(ui.port->currentText(), "Internal Modem");
               EXPECT_FALSE(ui.port->isEnabled());
               EXPECT_EQ(ui.web->text(), "");
             },
             [&] { panel.OnOK(); });
  EXPECT_FALSE(panel.isVisible());
  EXPECT_EQ(ui.web->text(), "");  // OK clears the fields
}

TEST(NetworkPanelTest, AnEmptyPortListShowsNoNetworkInBothPopUps) {
  GuiResources resources = english();
  NetworkPanel panel(resources);
  Ui::NetworkPanel& ui = panel.ui();
  whileShown([&] { return panel.showPanel(Value(Value::Array{}), true); },
             [&] {
               ASSERT_EQ(ui.place->count(), 1);
               ASSERT_EQ(ui.port->count(), 1);
               EXPECT_EQ(ui.place->itemText(0), resources.string("noNetwork"));
               EXPECT_EQ(ui.port->itemText(0), resources.string("noNetwork"));
               EXPECT_EQ(ui.mac->text(), "");
             },
             [&] { panel.OnOK(); });
}

TEST(TCPIPPanelTest, ShowsTheRecordOfTheChosenPortWithTheLocationFixed) {
  GuiResources resources = english();
  TCPIPPanel panel(resources);
  Ui::TCPIPPanel& ui = panel.ui();
  Value ethernet(Value::Array{Value(Value::Array{Value("en0"), Value("192.168.1.20"), Value("255.255.255.0"),
                                                 Value("192.168.1.255"), Value("fe80::1"), Value("2001:db8::20")}),
                              Value("DHCP"), Value("192.168.1.1"), Value::strings({"192.168.1.1", "8.8.8.8"}),
                              Value::strings({"example.jp", "corp"}), Value("Automatic")});
  Value airport(
      Value::Array{Value(Value::Array{Value("en1"), Value("----------"), Value("----------"), Value("----------")}),
                   Value("Manual"), Value("----------"), Value(Value::Array{}), Value(Value::Array{})});
  Value tcpips(Value::Array{ethernet, airport});
  whileShown([&] { return panel.showPanel(tcpips, portList()); },
             [&] {
               EXPECT_FALSE(ui.place->isEnabled());
               EXPECT_EQ(ui.place->currentText(), "Home");
               EXPECT_EQ(ui.use->text(), resources.string("DHCP"));
               EXPECT_EQ(ui.ipaddress->text(), "192.168.1.20");
               EXPECT_EQ(ui.subnetmask->text(), "255.255.255.0");
               EXPECT_EQ(ui.router->text(), "192.168.1.255");
               EXPECT_EQ(ui.ipv6address->text(), "2001:db8::20");  // the second IPv6 address
               EXPECT_EQ(ui.ipv6config->text(), resources.string("Automatic"));
               EXPECT_EQ(ui.dns1->text(), "192.168.1.1");
               EXPECT_EQ(ui.dnsserver->toPlainText(), "192.168.1.1\n8.8.8.8");
               EXPECT_EQ(ui.searchdomain->text(), "example.jpcorp");

               choose(ui.port, 1);
               EXPECT_EQ(ui.ipaddress->text(), "----------");
               EXPECT_EQ(ui.ipv6address->text(), "");
               EXPECT_EQ(ui.dnsserver->toPlainText(), "");
               EXPECT_EQ(ui.use->text(), resources.string("Manual"));
             },
             [&] { panel.OnOK(); });
}

TEST(MailPanelTest, ShowsTheChosenAccountAndOnlyTheLastList) {
  GuiResources resources = english();
  MailPanel panel(resources);
  Ui::MailPanel& ui = panel.ui();
  auto account = [](const std::string& n) {
    return Value::strings({n, n + "@example.jp", "Name " + n, "user-" + n, "pop." + n, "smtp." + n});
  };
  whileShown(
      [&] {
        return panel.showPanel(Value(Value::Array{account("a"), account("b"), account("c")}));
      },
      [&] {
        ASSERT_EQ(ui.account->count(), 3);
        EXPECT_EQ(ui.mailaddress->text(), "a@example.jp");
        choose(ui.account, 2);
        EXPECT_EQ(ui.mailaddress->text(), "c@example.jp");
        EXPECT_EQ(ui.name->text(), "Name c");
        EXPECT_EQ(ui.user->text(), "user-c");
        EXPECT_EQ(ui.pop->text(), "pop.c");
        EXPECT_EQ(ui.smtp->text(), "smtp.c");
      },
      [&] { panel.OnOK(); });
  whileShown([&] { return panel.showPanel(Value(Value::Array{})); },
             [&] {
               ASSERT_EQ(ui.account->count(), 1);
               EXPECT_EQ(ui.account->itemText(0), resources.string("noAccount"));
               EXPECT_EQ(ui.mailaddress->text(), "");
               choose(ui.account, 0);
               EXPECT_EQ(ui.smtp->text(), "");
             },
             [&] { panel.OnOK(); });
}

TEST(HardwarePanelTest, ListsTheVolumesInRowsThatCannotBeSelected) {
  GuiResources resources = english();
  HardwarePanel panel(resources);
  whileShown(
      [&] {
        return panel.showPanel({{"/", "12.34 GB", "80.00 GB"}, {"/Volumes/Backup", "0.05 GB", "500.00 GB"}});
      },
      [&] {
        QTableWidget* table = panel.ui().view;
        ASSERT_EQ(table->rowCount(), 2);
        EXPECT_EQ(table->item(1, 0)->text(), "/Volumes/Backup");
        EXPECT_EQ(table->item(1, 2)->text(), "500.00 GB");
        EXPECT_EQ(table->horizontalHeaderItem(1)->text(), resources.string("free"));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(0, 0)).center());
        EXPECT_TRUE(table->selectedItems().isEmpty());
      },
      [&] { panel.OnOK(); });
}

}  // namespace
}  // namespace corvane
