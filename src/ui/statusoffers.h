#pragma once

#include <QObject>
#include <QString>

namespace tarrow {

class TMainfrm;

// The buttons the status bar offers after a change: "Apply to running server" once the server's
// settings are saved, "Restart when empty" once a click changed a loader file while the folder's
// service runs. Each shows once, and goes when used.
class StatusBarOffers : public QObject {
    Q_OBJECT
  public:
    explicit StatusBarOffers(TMainfrm& window);

    // Offers "Apply to running server" when the server answers and its console password is known.
    void offerApply(const QString& fileName);
    // Asks systemd, without waiting, whether the folder's service runs; offers the restart if so.
    void offerRestartWhenEmpty();
    void showRestartOffer(const QString& serviceName);

  private:
    TMainfrm& window_;
};

} // namespace tarrow
