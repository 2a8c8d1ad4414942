#pragma once
// The serial-port control of the program: a thin layer over QSerialPort that
// speaks in the terms the link uses. A port is chosen by its COM number (1 =
// COM1, looked up in the port table), configured by a settings text such as
// "9600,e,8,1", and opened and closed around every command. Arriving bytes
// are announced by dataArrived(); the caller reads them as it likes.
#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

namespace mq::platform {

class SerialPort : public QObject {
    Q_OBJECT
public:
    enum class OpenResult {
        Ok,
        NoSuchPort,    // no device behind the COM number, or the device is gone
        PortInUse,     // held by this program or another one (the control's error 8005)
        OtherError,    // any other refusal (permissions, settings the device rejects)
    };

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    // COM number, 1 = COM1. Throws OutOfRangeError below 1, IoError while the
    // port is open (the number of an open port cannot change).
    void setPortNumber(int comNo);
    int portNumber() const { return m_portNo; }

    // "baud,parity,data,stop", parity one of n/e/o/m/s (any case), stop bits
    // 1, 1.5 or 2. Throws ConversionError on a text it cannot take. Applied at
    // the next open (and at once when the port is open).
    void setSettings(const QString& settings);
    QString settings() const { return m_settings; }

    // Opens the device behind the port number for reading and writing with
    // the settings, no flow control and RTS on.
    OpenResult open();
    bool isOpen() const;
    void close();

    // The device path the port number stands for now ("" when none).
    QString devicePath() const;
    // Text of the last failure, for diagnostics.
    QString errorText() const { return m_errorText; }

    // True once the device went away while open (a USB adapter unplugged:
    // QSerialPort reports a resource or read error); cleared by the next open.
    bool lost() const { return m_lost; }

    qint64 bytesAvailable() const;
    QByteArray read(qint64 maxBytes);
    QByteArray readAll();
    // Writes all bytes (waits for the device to take them); false on failure.
    bool write(const QByteArray& bytes);

    // The settings actually asked of QSerialPort (for checks where a pty
    // carries no parity or RTS).
    qint32 baudRate() const { return m_baud; }
    QSerialPort::Parity parity() const { return m_parity; }
    QSerialPort::DataBits dataBits() const { return m_dataBits; }
    QSerialPort::StopBits stopBits() const { return m_stopBits; }
    QSerialPort::FlowControl flowControl() const { return QSerialPort::NoFlowControl; }
    bool requestToSendAsked() const { return m_rtsAsked; }

signals:
    // New bytes have arrived (one signal per arrival, not per byte).
    void dataArrived();
    // The device went away while open; nothing more will come from it.
    void portLost();

private:
    void applySettings();

    QSerialPort* m_port;
    int m_portNo = 1;
    QString m_settings = QStringLiteral("9600,e,8,1");
    qint32 m_baud = 9600;
    QSerialPort::Parity m_parity = QSerialPort::EvenParity;
    QSerialPort::DataBits m_dataBits = QSerialPort::Data8;
    QSerialPort::StopBits m_stopBits = QSerialPort::OneStop;
    bool m_rtsAsked = false;
    QString m_openPath;      // canonical path while open
    QString m_errorText;
    bool m_lost = false;
};

}  // namespace mq::platform
