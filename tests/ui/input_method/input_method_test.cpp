#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QLineEdit>
#include <QProcess>
#include <QTextEdit>
#include <QVBoxLayout>

#include <functional>
#include <vector>

#include "ui/input_method/dbus_replies.h"
#include "ui/input_method/input_method.h"
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

// An IBusEngineDesc as IBus serialises it: type name, attachments, then the engine's fields.
struct FakeEngineDesc {
  QString name;
};

QDBusArgument& operator<<(QDBusArgument& out, const FakeEngineDesc& desc) {
  out.beginStructure();
  out << QStringLiteral("IBusEngineDesc");
  out << QVariantMap{{QStringLiteral("origin"), QVariant::fromValue(QDBusVariant(1))}};
  out << desc.name << QStringLiteral("Long name") << QStringLiteral("Description")
      << QStringLiteral("ja") << QStringLiteral("GPL") << QStringLiteral("Author")
      << QStringLiteral("icon") << QStringLiteral("jp") << 0u << QString() << QString() << QString()
      << QString() << QString() << QStringLiteral("1.0") << QString() << QString();
  out.endStructure();
  return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, FakeEngineDesc&) {
  return in;  // only ever sent
}

}  // namespace torvane::testing

Q_DECLARE_METATYPE(torvane::testing::FakeEngineDesc)

namespace torvane::testing {

// IBus: only the engines installed can be chosen. Newer daemons report the engine in use as
// the GlobalEngine property only.
class FakeIbus : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.IBus")
  Q_PROPERTY(QDBusVariant GlobalEngine READ globalEngine)

 public:
  QStringList asked;
  QString engine;
  QStringList installed = {QStringLiteral("anthy")};
  bool answersGetGlobalEngine = true;

  FakeIbus() { qDBusRegisterMetaType<FakeEngineDesc>(); }
  QDBusVariant globalEngine() const {
    return QDBusVariant(QVariant::fromValue(FakeEngineDesc{engine}));
  }

 public Q_SLOTS:
  Q_SCRIPTABLE void SetGlobalEngine(const QString& name) {
    asked.push_back(name);
    if (installed.contains(name)) {
      engine = name;
    } else {
      sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"),
                     QStringLiteral("no such engine"));
    }
  }
  Q_SCRIPTABLE QDBusVariant GetGlobalEngine() {
    if (!answersGetGlobalEngine) {
      sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                     QStringLiteral("no such method"));
    }
    return globalEngine();
  }
};

// A menu item as com.canonical.dbusmenu sends it: (id, properties, children as variants).
struct FakeMenuItem {
  int id = 0;
  QVariantMap properties;
  QList<FakeMenuItem> children;
};

}  // namespace torvane::testing

Q_DECLARE_METATYPE(torvane::testing::FakeMenuItem)

namespace torvane::testing {

QDBusArgument& operator<<(QDBusArgument& out, const FakeMenuItem& item) {
  out.beginStructure();
  out << item.id << item.properties;
  out.beginArray(QMetaType::fromType<QDBusVariant>());
  for (const FakeMenuItem& child : item.children) out << QDBusVariant(QVariant::fromValue(child));
  out.endArray();
  out.endStructure();
  return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, FakeMenuItem&) {
  return in;  // only ever sent
}

// The tray host's registry of tray items.
class FakeTrayWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems MEMBER items)

 public:
  QStringList items;
};

// A tray item and its menu; clicks are recorded with the number of fcitx5 activations seen
// before them.
class FakeTrayItem : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
  Q_PROPERTY(QString Id MEMBER id)
  Q_PROPERTY(QDBusObjectPath Menu MEMBER menu)

 public:
  QString id;
  QDBusObjectPath menu{QStringLiteral("/MenuBar")};
};

class FakeTrayMenu : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")

 public:
  FakeMenuItem root;
  QList<int> clicks;
  int layoutRequests = 0;
  std::function<int()> activationsSoFar = [] { return 0; };
  QList<int> activationsAtClick;

 public Q_SLOTS:
  // Spelt in full: QtDBus finds the type by the name moc records.
  Q_SCRIPTABLE uint GetLayout(int, int, const QStringList&,
                              torvane::testing::FakeMenuItem& layout) {
    ++layoutRequests;
    layout = root;
    return 1;
  }
  Q_SCRIPTABLE void Event(int id, const QString& type, const QDBusVariant&, uint) {
    if (type != QStringLiteral("clicked")) return;
    clicks.push_back(id);
    activationsAtClick.push_back(activationsSoFar());
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
  QDBusConnection::disconnectFromBus(QStringLiteral("torvane-ibus"));
}

// A connection under a name of its own, so that no test reuses one to a daemon already gone.
QDBusConnection connectTo(const PrivateBus& bus, const QString& name) {
  QDBusConnection::disconnectFromBus(name);
  return QDBusConnection::connectToBus(bus.address, name);
}

// The text box next to another control, to move the focus away to.
struct FocusPair {
  FocusPair() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(box = new QTextEdit);
    layout->addWidget(other = new QLineEdit);
    window.show();
    QApplication::setActiveWindow(&window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
  }
  QWidget window;
  QTextEdit* box;
  QLineEdit* other;
};

// IBus with a Latin engine in use and anthy installed, on a private bus of its own.
class IbusRestore : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    qDBusRegisterMetaType<FakeEngineDesc>();
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    service = connectTo(bus, QStringLiteral("fake-ibus"));
    ibus.engine = kLatin;
    ibus.installed.push_back(kLatin);
    ibus.answersGetGlobalEngine = GetParam();
    ASSERT_TRUE(service.registerObject(
        QStringLiteral("/org/freedesktop/IBus"), &ibus,
        QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.IBus")));
    qputenv("IBUS_ADDRESS", bus.address.toLocal8Bit());
  }
  void TearDown() override {
    qunsetenv("IBUS_ADDRESS");
    QDBusConnection::disconnectFromBus(QStringLiteral("torvane-ibus"));
  }
  std::unique_ptr<ui::JapaneseInputMethod> makeMethod() {
    return std::make_unique<ui::JapaneseInputMethod>(
        nullptr, QDBusConnection(QStringLiteral("no-session-bus")));
  }

  const QString kLatin = QStringLiteral("xkb:us::eng");
  PrivateBus bus;
  QDBusConnection service{QString()};
  FakeIbus ibus;
};

TEST_P(IbusRestore, FocusInSwitchesAndFocusOutOrHidingPutsThePreviousEngineBack) {
  FocusPair pair;
  auto method = makeMethod();
  method->watch(pair.box);
  for (const bool byHiding : {false, true}) {
    pair.box->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ibus.engine == QStringLiteral("anthy"); }, 5000));
    if (byHiding) {
      pair.window.hide();  // as closing the window does
    } else {
      pair.other->setFocus();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return ibus.engine == kLatin; }, 5000)) << byHiding;
    if (byHiding) {
      pair.window.show();
      QApplication::setActiveWindow(&pair.window);
    }
  }
  EXPECT_EQ(ibus.asked, (QStringList{QStringLiteral("mozc-jp"), QStringLiteral("anthy"), kLatin,
                                     QStringLiteral("mozc-jp"), QStringLiteral("anthy"), kLatin}));
}

TEST_P(IbusRestore, DestroyingTheMethodWhileSwitchedOnPutsThePreviousEngineBack) {
  auto method = makeMethod();
  method->switchOn();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ibus.engine == QStringLiteral("anthy"); }, 5000));
  method.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ibus.engine == kLatin; }, 5000));
}

// Switching on twice must not take the Japanese engine for the user's own.
TEST_P(IbusRestore, TheEngineItSetItselfIsNotRememberedAsThePreviousOne) {
  auto method = makeMethod();
  method->switchOn();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ibus.engine == QStringLiteral("anthy"); }, 5000));
  const qsizetype calls = ibus.asked.size();
  method->switchOn();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ibus.asked.size() == calls + 2; }, 5000));
  method->switchBack();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ibus.engine == kLatin; }, 5000));
}

INSTANTIATE_TEST_SUITE_P(ByMethodOrByProperty, IbusRestore, ::testing::Bool(),
                         [](const auto& info) {
                           return info.param ? "GetGlobalEngine" : "GlobalEngineProperty";
                         });

TEST(IbusEngineDesc, TheNameIsReadOnlyFromAnEngineDescription) {
  qDBusRegisterMetaType<FakeEngineDesc>();
  PrivateBus bus;
  ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
  QDBusConnection service = connectTo(bus, QStringLiteral("fake-ibus-desc"));
  FakeIbus ibus;
  ibus.engine = QStringLiteral("mozc-jp");
  ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/IBus"), &ibus,
                                     QDBusConnection::ExportScriptableSlots));
  ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.IBus")));
  QDBusConnection client = connectTo(bus, QStringLiteral("ibus-desc-client"));
  QDBusPendingCall call = client.asyncCall(QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.IBus"), QStringLiteral("/org/freedesktop/IBus"),
      QStringLiteral("org.freedesktop.IBus"), QStringLiteral("GetGlobalEngine")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return call.isFinished(); }, 5000));
  const QDBusMessage reply = call.reply();
  ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  EXPECT_EQ(ui::ibusEngineName(reply.arguments().value(0)), QStringLiteral("mozc-jp"));
  EXPECT_EQ(ui::ibusEngineName(QVariant(QStringLiteral("mozc-jp"))), QString());
  EXPECT_EQ(ui::ibusEngineName(QVariant::fromValue(QDBusVariant(42))), QString());
  EXPECT_EQ(ui::ibusEngineName(QVariant()), QString());
}

// fcitx5 with a tray host: fcitx5's menu holds mozc's mode items under its settings item.
// Another program's tray item carries a hiragana icon too, and must be left alone.
struct TrayCase {
  const char* name;
  const char* hiraganaIcon;  // null: the input method in use is not mozc
  bool clicked;
};

class FcitxHiragana : public ::testing::TestWithParam<TrayCase> {};

FakeMenuItem menuItem(int id, const QString& icon, QList<FakeMenuItem> children = {}) {
  return {id, {{QStringLiteral("icon-name"), icon}, {QStringLiteral("label"), icon}}, children};
}

TEST_P(FcitxHiragana, EveryFocusInActivatesAndThenClicksHiragana) {
  const TrayCase& row = GetParam();
  qDBusRegisterMetaType<FakeMenuItem>();
  PrivateBus bus;
  ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";

  QDBusConnection fcitxBus = connectTo(bus, QStringLiteral("fake-fcitx-main"));
  FakeFcitx fcitx;
  ASSERT_TRUE(fcitxBus.registerObject(QStringLiteral("/controller"), &fcitx,
                                      QDBusConnection::ExportScriptableSlots));
  ASSERT_TRUE(fcitxBus.registerService(QStringLiteral("org.fcitx.Fcitx5")));

  // fcitx5 publishes its tray item on a connection of its own, under its unique name.
  QDBusConnection trayBus = connectTo(bus, QStringLiteral("fake-fcitx-tray"));
  FakeTrayItem item;
  item.id = QStringLiteral("Fcitx");
  FakeTrayMenu menu;
  menu.activationsSoFar = [&] { return fcitx.activations; };
  QList<FakeMenuItem> modes = {menuItem(306, QStringLiteral("fcitx_mozc_direct")),
                               menuItem(308, QStringLiteral("fcitx_mozc_katakana_full"))};
  if (row.hiraganaIcon) modes.insert(1, menuItem(307, QString::fromLatin1(row.hiraganaIcon)));
  menu.root = menuItem(0, QString(),
                       {menuItem(100, QStringLiteral("fcitx-mozc")), menuItem(1, QString()),
                        menuItem(305, QStringLiteral("fcitx_mozc_tool"), modes),
                        menuItem(4, QStringLiteral("configure"))});
  ASSERT_TRUE(trayBus.registerObject(QStringLiteral("/StatusNotifierItem"), &item,
                                     QDBusConnection::ExportAllProperties));
  ASSERT_TRUE(trayBus.registerObject(QStringLiteral("/MenuBar"), &menu,
                                     QDBusConnection::ExportScriptableSlots));

  QDBusConnection otherBus = connectTo(bus, QStringLiteral("fake-other-tray"));
  FakeTrayItem otherItem;
  otherItem.id = QStringLiteral("nm-applet");
  FakeTrayMenu otherMenu;
  otherMenu.root = menuItem(0, QString(), {menuItem(7, QStringLiteral("fcitx_mozc_hiragana"))});
  ASSERT_TRUE(otherBus.registerObject(QStringLiteral("/StatusNotifierItem"), &otherItem,
                                      QDBusConnection::ExportAllProperties));
  ASSERT_TRUE(otherBus.registerObject(QStringLiteral("/MenuBar"), &otherMenu,
                                      QDBusConnection::ExportScriptableSlots));

  QDBusConnection watcherBus = connectTo(bus, QStringLiteral("fake-tray-host"));
  FakeTrayWatcher watcher;
  // Hosts list an item as "service/path", or as the bare service with the default path.
  watcher.items = {otherBus.baseService(), trayBus.baseService() + "/StatusNotifierItem"};
  ASSERT_TRUE(watcherBus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                        QDBusConnection::ExportAllProperties));
  ASSERT_TRUE(watcherBus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));

  FocusPair pair;
  ui::JapaneseInputMethod method(nullptr, connectTo(bus, QStringLiteral("app-session-tray")));
  method.watch(pair.box);
  for (int focus = 1; focus <= 3; ++focus) {
    pair.box->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.layoutRequests == focus; }, 5000)) << focus;
    if (row.clicked) {
      ASSERT_TRUE(QTest::qWaitFor([&] { return menu.clicks.size() == focus; }, 5000)) << focus;
    }
    pair.other->setFocus();
  }
  QTest::qWait(50);  // room for a stray click
  EXPECT_EQ(fcitx.activations, 3);
  EXPECT_EQ(menu.clicks, row.clicked ? (QList<int>{307, 307, 307}) : QList<int>{});
  if (row.clicked) {
    EXPECT_EQ(menu.activationsAtClick, (QList<int>{1, 2, 3}));
  }
  EXPECT_TRUE(otherMenu.clicks.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Trays, FcitxHiragana,
                         ::testing::Values(TrayCase{"UnderscoredIcon", "fcitx_mozc_hiragana", true},
                                           TrayCase{"DashedIconInFlatpak",
                                                    "org.fcitx.Fcitx5.fcitx-mozc-hiragana", true},
                                           TrayCase{"NoMozc", nullptr, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvane::testing

#include "input_method_test.moc"
