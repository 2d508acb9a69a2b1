#include "gui/network_view.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/frm_config_view.h"
#include "lang/texts.h"
#include "link/port_map.h"

namespace plx::gui {

namespace {

using lang::Message;

QString say(Message id, const std::string& language, const std::vector<std::string>& args = {}) {
    return QString::fromStdString(lang::message(id, language, args));
}

constexpr modbus::Framing kKinds[] = {modbus::Framing::tcp, modbus::Framing::rtu, modbus::Framing::ascii};

}  // namespace

NetworkDialog::NetworkDialog(const std::optional<modbus::Gateway>& current, const std::string& language,
                             QWidget* parent)
    : QDialog(parent), language_(language) {
    setWindowTitle(say(Message::network_title, language));
    setObjectName(QStringLiteral("network_dialog"));
    kind_ = new QComboBox;
    kind_->setObjectName(QStringLiteral("network_kind"));
    kind_->addItem(say(Message::network_kind_tcp, language));
    kind_->addItem(say(Message::network_kind_rtu, language));
    kind_->addItem(say(Message::network_kind_ascii, language));
    host_ = new QLineEdit;
    host_->setObjectName(QStringLiteral("network_host"));
    host_->setPlaceholderText(QStringLiteral("192.168.1.20"));
    port_ = new QSpinBox;
    port_->setObjectName(QStringLiteral("network_port"));
    port_->setRange(1, 65535);
    port_->setValue(modbus::kModbusTcpPort);
    if (current) {
        for (int i = 0; i < 3; ++i) {
            if (kKinds[i] == current->framing) kind_->setCurrentIndex(i);
        }
        host_->setText(QString::fromStdString(current->host));
        port_->setValue(current->port);
    }
    auto* form = new QFormLayout;
    form->addRow(say(Message::network_kind, language), kind_);
    form->addRow(say(Message::network_host, language), host_);
    form->addRow(say(Message::network_port, language), port_);
    auto* hint = new QLabel(say(Message::network_hint, language));
    hint->setWordWrap(true);
    problem_ = new QLabel;
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(host_, &QLineEdit::textChanged, this, [this] { check(); });
    connect(port_, &QSpinBox::valueChanged, this, [this] { check(); });
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { check(); });
    check();
}

std::optional<modbus::Gateway> NetworkDialog::gateway() const {
    modbus::Gateway g{kKinds[kind_->currentIndex()], host_->text().trimmed().toStdString(), port_->value()};
    // the text it becomes must read back as the same gateway
    const auto back = modbus::gateway_of(modbus::device_text(g));
    if (!back || *back != g) return std::nullopt;
    return g;
}

void NetworkDialog::check() {
    const bool ok = gateway().has_value();
    ok_->setEnabled(ok);
    problem_->setText(ok || host_->text().trimmed().isEmpty() ? QString() : say(Message::network_bad_host, language_));
}

NetworkView::NetworkView(FrmConfigView& view,
                         FrmConfig& form,
                         const ProgramState& state,
                         link::PortDirectory& ports,
                         link::Link& link,
                         controls::MessageBox& messages)
    : QObject(&view), view_(view), form_(form), state_(state), ports_(ports), link_(link), messages_(messages) {
    // choosing the network entry asks for the gateway, after the box has closed
    connect(view.port_box(), &QComboBox::activated, this, [this](int index) {
        if (index + 1 == link::kNetworkEntry) QTimer::singleShot(0, this, [this] { edit_gateway(); });
    });
}

bool NetworkView::edit_gateway() {
    NetworkDialog dialog(modbus::gateway_of(ports_.assigned(link::kNetworkEntry)), state_.language_code, &view_);
    if (dialog.exec() != QDialog::Accepted) return false;
    const auto gateway = dialog.gateway();
    if (!gateway) return false;
    if (!ports_.store_user_map || !ports_.store_user_map(link::kNetworkEntry, modbus::device_text(*gateway))) {
        messages_.show_ok(lang::message(Message::network_not_kept, state_.language_code,
                                        {modbus::device_text(*gateway)}));
        return false;
    }
    ports_.refresh();
    if (on_gateway_set) on_gateway_set();
    // used at once: the entry's settings are applied again
    auto& box = form_.Combo_Port[0];
    if (box.list_index() == link::kNetworkEntry - 1) {
        link_.Combo_Port_Click(0);
    } else {
        box.set_list_index(link::kNetworkEntry - 1);
    }
    return true;
}

}  // namespace plx::gui
