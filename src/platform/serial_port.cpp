#include "platform/serial_port.h"

#include "platform/errors.h"
#include "platform/port_table.h"

#include <QFileInfo>
#include <QSet>

namespace mq::platform {

namespace {

// Devices this program holds open. A second open of the same device from this
// process is "in use" even where the operating system would let it through
// (a root user is not stopped by exclusive mode).
QSet<QString>& openDevices() {
    static QSet<QString> s;
    return s;
}

QString canonicalDevice(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

}  // namespace

SerialPort::SerialPort(QObject* parent) : QObject(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, &SerialPort::dataArrived);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // An unplugged adapter (or a hung-up line) shows as a resource error,
        // or as reads that fail again and again; either way nothing more can
        // come from the device.
        if ((e != QSerialPort::ResourceError && e != QSerialPort::ReadError) || !m_port->isOpen() || m_lost) return;
        m_lost = true;
        m_errorText = m_port->errorString();
        emit portLost();
    });
}

SerialPort::~SerialPort() { close(); }

void SerialPort::setPortNumber(int comNo) {
    if (comNo < 1) throw OutOfRangeError("serial port number below 1: " + std::to_string(comNo));
    if (isOpen()) throw IoError("the port is open; its number cannot change");
    m_portNo = comNo;
}

void SerialPort::setSettings(const QString& settings) {
    const QStringList parts = settings.split(u',');
    if (parts.size() != 4) throw ConversionError("serial settings need four items: " + settings.toStdString());
    bool ok = false;
    const qint32 baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0) throw ConversionError("bad speed in serial settings: " + settings.toStdString());

    QSerialPort::Parity parity;
    const QString p = parts[1].trimmed().toLower();
    if (p == u"n") parity = QSerialPort::NoParity;
    else if (p == u"e") parity = QSerialPort::EvenParity;
    else if (p == u"o") parity = QSerialPort::OddParity;
    else if (p == u"m") parity = QSerialPort::MarkParity;
    else if (p == u"s") parity = QSerialPort::SpaceParity;
    else throw ConversionError("bad parity in serial settings: " + settings.toStdString());

    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8) throw ConversionError("bad data bits in serial settings: " + settings.toStdString());

    QSerialPort::StopBits stop;
    const QString s = parts[3].trimmed();
    if (s == u"1") stop = QSerialPort::OneStop;
    else if (s == u"1.5") stop = QSerialPort::OneAndHalfStop;
    else if (s == u"2") stop = QSerialPort::TwoStop;
    else throw ConversionError("bad stop bits in serial settings: " + settings.toStdString());

    m_settings = settings;
    m_baud = baud;
    m_parity = parity;
    m_dataBits = static_cast<QSerialPort::DataBits>(bits);
    m_stopBits = stop;
    if (isOpen()) applySettings();
}

void SerialPort::applySettings() {
    m_port->setBaudRate(m_baud);
    m_port->setParity(m_parity);
    m_port->setDataBits(m_dataBits);
    m_port->setStopBits(m_stopBits);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
}

QString SerialPort::devicePath() const { return port_device_path(m_portNo); }

SerialPort::OpenResult SerialPort::open() {
    m_errorText.clear();
    m_lost = false;
    if (isOpen()) {
        m_errorText = QStringLiteral("port already open");
        return OpenResult::PortInUse;
    }
    const QString path = devicePath();
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        m_errorText = QStringLiteral("no device for COM%1").arg(m_portNo);
        return OpenResult::NoSuchPort;
    }
    const QString canonical = canonicalDevice(path);
    if (openDevices().contains(canonical)) {
        m_errorText = QStringLiteral("port already open by this program");
        return OpenResult::PortInUse;
    }

    m_port->setPortName(path);
    applySettings();
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError err = m_port->error();
        m_errorText = m_port->errorString();
        m_port->clearError();
        if (err == QSerialPort::DeviceNotFoundError) return OpenResult::NoSuchPort;
        if (err == QSerialPort::PermissionError) {
            // A device we may read and write but cannot open is held (locked
            // or opened exclusively) by someone else.
            const QFileInfo fi(path);
            if (fi.isReadable() && fi.isWritable()) return OpenResult::PortInUse;
        }
        return OpenResult::OtherError;
    }

    m_rtsAsked = true;
    if (!m_port->setRequestToSend(true)) {
        // A pseudo-terminal has no modem lines, and some USB adapters refuse
        // the request; the exchange itself does not depend on RTS, so a
        // refusal is noted and the port stays open.
        m_errorText = m_port->errorString();
        m_port->clearError();
    }
    m_openPath = canonical;
    openDevices().insert(canonical);
    return OpenResult::Ok;
}

bool SerialPort::isOpen() const { return m_port->isOpen(); }

void SerialPort::close() {
    if (m_port->isOpen()) m_port->close();
    m_port->clearError();
    if (!m_openPath.isEmpty()) {
        openDevices().remove(m_openPath);
        m_openPath.clear();
    }
}

qint64 SerialPort::bytesAvailable() const { return m_port->isOpen() ? m_port->bytesAvailable() : 0; }

QByteArray SerialPort::read(qint64 maxBytes) {
    if (!m_port->isOpen() || maxBytes <= 0) return {};
    return m_port->read(maxBytes);
}

QByteArray SerialPort::readAll() {
    if (!m_port->isOpen()) return {};
    return m_port->readAll();
}

bool SerialPort::write(const QByteArray& bytes) {
    if (!m_port->isOpen()) return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = m_port->write(bytes.constData() + done, bytes.size() - done);
        // QSerialPort buffers everything it accepts; a write that takes
        // nothing would otherwise make this loop spin.
        if (n <= 0) return false;
        done += n;
    }
    // The frame is small; push it out now rather than on the next event-loop pass.
    while (m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(1000)) return false;
    }
    return true;
}

}  // namespace mq::platform
