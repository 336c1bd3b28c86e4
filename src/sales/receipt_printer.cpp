#include "sales/receipt_printer.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QHostAddress>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTcpSocket>

#include "common/ini.h"
#include "common/number_text.h"
#include "common/settings.h"
#include "platform/skin.h"
#include "sales/escpos.h"

namespace {

constexpr int kConnectMs = 3000;
constexpr int kWriteMs = 10000;
constexpr quint16 kRawPrintPort = 9100;

const QString kSystemKind = QStringLiteral("系统打印机");
const QString kEscPosKind = QStringLiteral("小票打印机");

QString ReadKey(const QString& key) {
    return IniRead(ReceiptPath(), kReceiptSection, key);
}

void WriteKey(const QString& key, const QString& value) {
    IniWrite(ReceiptPath(), kReceiptSection, key, value);
}

struct NetworkTarget {
    QString host;
    quint16 port = kRawPrintPort;
};

// "host:port" or a bare IP address; nullopt for a device path or a queue name.
std::optional<NetworkTarget> ParseNetworkTarget(const QString& target) {
    if (QHostAddress address; address.setAddress(target)) return NetworkTarget{target};
    const qsizetype colon = target.lastIndexOf(u':');
    if (colon <= 0) return std::nullopt;
    bool ok = false;
    const uint port = target.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535) return std::nullopt;
    return NetworkTarget{target.left(colon), static_cast<quint16>(port)};
}

QString SocketFailure(const QTcpSocket& socket, const QString& where) {
    switch (socket.error()) {
        case QAbstractSocket::ConnectionRefusedError:
            return QStringLiteral(
                       "小票打印机 %1 拒绝连接，请检查打印机是否开机、地址和端口是否正确。")
                .arg(where);
        case QAbstractSocket::HostNotFoundError:
            return QStringLiteral("找不到小票打印机 %1，请检查打印机地址。").arg(where);
        case QAbstractSocket::SocketTimeoutError:
            return QStringLiteral("连接小票打印机 %1 超时，请检查打印机是否开机、网线是否连好。")
                .arg(where);
        case QAbstractSocket::NetworkError:
            return QStringLiteral("无法连接小票打印机 %1：网络不通。").arg(where);
        default:
            return QStringLiteral("无法连接小票打印机 %1。").arg(where);
    }
}

bool SendOverNetwork(const NetworkTarget& target, const QByteArray& bytes, QString* failure) {
    const QString where = target.host + u':' + QString::number(target.port);
    QTcpSocket socket;
    socket.connectToHost(target.host, target.port);
    if (!socket.waitForConnected(kConnectMs)) {
        *failure = SocketFailure(socket, where);
        return false;
    }
    socket.write(bytes);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kWriteMs)) {
            *failure =
                QStringLiteral("向小票打印机 %1 发送小票时中断，小票可能没有打全。").arg(where);
            return false;
        }
    }
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState) socket.waitForDisconnected(kWriteMs);
    return true;
}

bool SendToDevice(const QString& path, const QByteArray& bytes, QString* failure) {
    QFile device(path);
    // Append: a device takes the bytes as they come; an ordinary file is never truncated.
    if (!device.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        *failure = QStringLiteral(
                       "无法打开小票打印机 %1，请检查打印机是否连接、开机，"
                       "以及是否有使用它的权限。")
                       .arg(path);
        return false;
    }
    if (device.write(bytes) != bytes.size() || !device.flush()) {
        *failure = QStringLiteral("向小票打印机 %1 写入小票失败，小票可能没有打全。").arg(path);
        return false;
    }
    return true;
}

// A raw queue passes the bytes to the printer untouched.
bool SendToQueue(const QString& queue, const QByteArray& bytes, QString* failure) {
    QProcess lp;
    lp.start(QStringLiteral("lp"),
             {QStringLiteral("-d"), queue, QStringLiteral("-o"), QStringLiteral("raw")});
    if (!lp.waitForStarted(kConnectMs)) {
        *failure = QStringLiteral("无法使用打印队列 %1：系统没有安装打印服务（lp）。").arg(queue);
        return false;
    }
    lp.write(bytes);
    lp.closeWriteChannel();
    if (!lp.waitForFinished(kWriteMs) || lp.exitStatus() != QProcess::NormalExit ||
        lp.exitCode() != 0) {
        lp.kill();
        *failure = QStringLiteral("打印队列 %1 不接受小票，请检查队列名称和打印服务。").arg(queue);
        return false;
    }
    return true;
}

}  // namespace

std::optional<PrinterChoice> ReadPrinterChoice() {
    const QString kind = ReadKey(PrinterKey::kKind);
    if (kind != kSystemKind && kind != kEscPosKind) return std::nullopt;
    PrinterChoice choice;
    choice.kind = kind == kSystemKind ? PrinterChoice::Kind::System : PrinterChoice::Kind::EscPos;
    choice.systemPrinter = ReadKey(PrinterKey::kSystemPrinter);
    choice.escPosTarget = ReadKey(PrinterKey::kEscPosTarget);
    choice.paperMm = TextToNumber(ReadKey(PrinterKey::kPaper)) == 80 ? 80 : 58;
    choice.openDrawer = IsFlagOn(ReadKey(PrinterKey::kDrawer));
    return choice;
}

void WritePrinterChoice(const PrinterChoice& choice) {
    WriteKey(PrinterKey::kKind,
             choice.kind == PrinterChoice::Kind::System ? kSystemKind : kEscPosKind);
    WriteKey(PrinterKey::kSystemPrinter, choice.systemPrinter);
    WriteKey(PrinterKey::kEscPosTarget, choice.escPosTarget);
    WriteKey(PrinterKey::kPaper, QString::number(choice.paperMm));
    WriteKey(PrinterKey::kDrawer, FlagText(choice.openDrawer));
}

QFont ReceiptFont() {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei Mono"),
                      QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    return font;
}

int ReceiptColumns(int paperMm) {
    return paperMm == 80 ? 48 : 32;
}

bool SendToEscPosPrinter(const QString& target, const QByteArray& bytes, QString* failure) {
    const QString where = target.trimmed();
    if (where.isEmpty()) {
        *failure = QStringLiteral("还没有设置小票打印机的地址。");
        return false;
    }
    if (where.startsWith(u'/')) return SendToDevice(where, bytes, failure);
    if (const auto network = ParseNetworkTarget(where))
        return SendOverNetwork(*network, bytes, failure);
    return SendToQueue(where, bytes, failure);
}

bool PrintTextOnPrinter(QPrinter* printer, const QString& text, const QFont& font,
                        QString* failure) {
    QPainter painter;
    if (!painter.begin(printer)) {
        *failure = QStringLiteral("无法使用打印机 %1，请检查打印机是否安装、开机。")
                       .arg(printer->printerName());
        return false;
    }
    // The font keeps its size on paper, whatever the printer's resolution.
    QFont paperFont(font, printer);
    painter.setFont(paperFont);
    const QFontMetrics metrics(paperFont, printer);
    const QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
    const int pageHeight = page.height();
    int y = 0;
    QString plain = text;
    plain.remove(u'\r');
    for (const QString& line : plain.split(u'\n')) {
        if (y + metrics.height() > pageHeight && y > 0) {
            printer->newPage();
            y = 0;
        }
        painter.drawText(0, y + metrics.ascent(), line);
        y += metrics.lineSpacing();
    }
    if (!painter.end()) {
        *failure = QStringLiteral("打印失败，小票没有打印出来。");
        return false;
    }
    return true;
}

bool PrintReceipt(const PrinterChoice& choice, const QString& text, const QFont& font) {
    QString failure;
    bool printed = false;
    if (choice.kind == PrinterChoice::Kind::EscPos) {
        const EscPosLayout layout{ReceiptColumns(choice.paperMm), choice.openDrawer};
        printed = SendToEscPosPrinter(choice.escPosTarget, EscPosReceipt(text, layout), &failure);
    } else {
        QPrinter printer(QPrinter::HighResolution);
        if (!choice.systemPrinter.isEmpty()) printer.setPrinterName(choice.systemPrinter);
        printer.setDocName(QStringLiteral("销售小票"));
        if (!printer.isValid()) {
            failure = QStringLiteral("找不到打印机，请在系统中安装打印机或改用小票打印机。");
        } else {
            printed = PrintTextOnPrinter(&printer, text, font, &failure);
        }
    }
    if (!printed) ShowMessage(failure, 2);
    return printed;
}
