// Plug-in entry of the Fennic button server: the shell finds this file
// through the class registry and asks it for one server per connection.

#include "button/editor/FennicButtonServer.h"

#include <QObject>

class CFennicButtonFactory : public QObject, public IWidgetServerFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IWidgetServerFactory_iid)
    Q_INTERFACES(IWidgetServerFactory)
public:
    QString ProgID() const override { return kFennicButtonProgID; }
    QString CLSID() const override { return kFennicButtonCLSID; }
    IWidgetServer* CreateInstance() override { return new CFennicButtonServer; }
};

#include "FennicButtonPlugin.moc"
