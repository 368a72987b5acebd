#include "moduleheader.h"

#include "modulecontroller.h"

#include "serviceconnection.h"

#include <QStringList>

static const QColor Amber(230, 180, 0);

ModuleHeader::ModuleHeader(const ModuleController &controller)
{
    using LinkState = ModuleController::LinkState;
    const QString host = controller.host();
    const QString shown = ModuleController::addressText(host, controller.port());
    const QString reason = controller.reason();
    const bool restarting = controller.isRestarting();
    const int retryLeft = controller.retrySecondsLeft();
    switch (controller.linkState()) {
    case LinkState::Disconnected:
        state = reason.isEmpty() ? tr("Not connected") : reason;
        if (!reason.isEmpty())
            lamp = QColor(220, 0, 0);
        break;
    case LinkState::Connecting:
        state = tr("Connecting to %1...").arg(shown);
        lamp = Amber;
        break;
    case LinkState::Connected:
        if (!ModuleSession::isWorkMode(controller.identity().mode)) {
            // Answering, but its values are not measurements: not the green of a working one.
            state = tr("Connected, not measuring: the module is in %1")
                        .arg(ServiceConnection::modeName(controller.identity().mode));
            lamp = Amber;
        } else {
            state = tr("Connected");
            lamp = QColor(0, 220, 0);
        }
        break;
    case LinkState::Lost:
        state = retryLeft > 0
                    ? tr("Connection lost: %1. Last values shown. Reconnecting in %n s.", nullptr,
                         retryLeft)
                          .arg(reason)
                    : tr("Connection lost: %1. Last values shown. Reconnecting now...").arg(reason);
        lamp = QColor(220, 0, 0);
        break;
    }

    if (controller.isIdentified()) {
        const ModuleSession::Identity &identity = controller.identity();
        QString kind;
        switch (identity.type) {
        case ORVO_TYPE_ICP:
            kind = tr("measurement module, ICP inputs");
            break;
        case ORVO_TYPE_PROX:
            kind = tr("measurement module, proximity probe inputs");
            break;
        case ORVO_TYPE_REL:
            kind = tr("relay module");
            break;
        default:
            break;
        }
        type = kind.isEmpty() ? identity.typeName : tr("%1 (%2)").arg(identity.typeName, kind);
        QStringList texts;
        for (const QString &t : identity.texts) {
            if (!t.isEmpty())
                texts << t;
        }
        ident = texts.join(QStringLiteral(" / "));
        mode = ModuleSession::isWorkMode(identity.mode)
                   ? tr("Work mode")
                   : tr("Not measuring: %1 (mode %2)")
                         .arg(ServiceConnection::modeName(identity.mode))
                         .arg(identity.mode);
        if (controller.needsServiceRestart() && controller.linkState() != LinkState::Connecting)
            state = tr("%1. The module is in %2: Restart brings it back to work mode.")
                        .arg(state, ServiceConnection::modeName(identity.mode));
        if (controller.needsServiceRestart())
            lamp = Amber;
    }
    if (restarting) {
        state = tr("Restarting the module...");
        lamp = Amber;
    }
    if (!host.isEmpty())
        address = shown;
    title =
        host.isEmpty() ? tr("Orvo module inspector") : tr("%1 - Orvo module inspector").arg(shown);
}
