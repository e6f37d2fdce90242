#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QProcess>
#include <QTextEdit>

#include <vector>

#include "ui/input_method.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

std::vector<QString> messages;
void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  messages.push_back(message);
}

// The test machine runs no input method: focusing the text box must do nothing, quietly.
TEST_F(MainWindowTest, FocusWithoutAnInputMethodRunningSaysNothing) {
  qunsetenv("IBUS_ADDRESS");
  messages.clear();
  const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
  for (int i = 0; i < 3; ++i) {
    control("RichEdit1")->setFocus();
    QTest::qWait(20);
    control("Button1")->setFocus();
  }
  qInstallMessageHandler(previous);
  EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
  EXPECT_TRUE(window().isVisible());
}

// A private message bus of the test's own, for stand-ins of the input methods.
class PrivateBus {
 public:
  PrivateBus() {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address=1")});
    if (daemon_.waitForReadyRead(5000))
      address = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
  }
  ~PrivateBus() {
    daemon_.kill();
    daemon_.waitForFinished();
  }
  QString address;

 private:
  QProcess daemon_;
};

}  // namespace

// fcitx5's controller: Activate switches to the active (Japanese) input method.
class FakeFcitx : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.fcitx.Fcitx.Controller1")

 public:
  int activations = 0;

 public Q_SLOTS:
  Q_SCRIPTABLE void Activate() { ++activations; }
};

// IBus: only the engines installed can be chosen.
class FakeIbus : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.IBus")

 public:
  QStringList asked;
  QString engine;

 public Q_SLOTS:
  Q_SCRIPTABLE void SetGlobalEngine(const QString& name) {
    asked.push_back(name);
    if (name == QStringLiteral("anthy")) {
      engine = name;
    } else {
      sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"),
                     QStringLiteral("no such engine"));
    }
  }
};

namespace {

TEST(JapaneseInputMethod, AsksFcitxToActivate) {
  PrivateBus bus;
  ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
  QDBusConnection service =
      QDBusConnection::connectToBus(bus.address, QStringLiteral("fake-fcitx"));
  FakeFcitx fcitx;
  ASSERT_TRUE(service.registerObject(QStringLiteral("/controller"), &fcitx,
                                     QDBusConnection::ExportScriptableSlots));
  ASSERT_TRUE(service.registerService(QStringLiteral("org.fcitx.Fcitx5")));

  ui::JapaneseInputMethod method(
      nullptr, QDBusConnection::connectToBus(bus.address, QStringLiteral("app-session")));
  QTextEdit box;
  method.watch(&box);
  box.show();
  box.activateWindow();
  box.setFocus();
  EXPECT_TRUE(QTest::qWaitFor([&] { return fcitx.activations == 1; }, 5000));
}

TEST(JapaneseInputMethod, TriesTheJapaneseEnginesOfIbusInTurn) {
  PrivateBus bus;
  ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
  QDBusConnection service = QDBusConnection::connectToBus(bus.address, QStringLiteral("fake-ibus"));
  FakeIbus ibus;
  ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/IBus"), &ibus,
                                     QDBusConnection::ExportScriptableSlots));
  ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.IBus")));

  qputenv("IBUS_ADDRESS", bus.address.toLocal8Bit());
  ui::JapaneseInputMethod method(nullptr, QDBusConnection(QStringLiteral("no-session-bus")));
  method.switchOn();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ibus.engine == QStringLiteral("anthy"); }, 5000));
  EXPECT_EQ(ibus.asked, (QStringList{QStringLiteral("mozc-jp"), QStringLiteral("anthy")}));
  qunsetenv("IBUS_ADDRESS");
}

}  // namespace
}  // namespace torvane::testing

#include "input_method_test.moc"
