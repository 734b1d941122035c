#include "toolkit/dialogs/connection_recovery.h"

#include "platform/clock.h"
#include "platform/message_boxes.h"
#include "platform/process_end.h"
#include "toolkit/dialogs/application_object.h"
#include "toolkit/dialogs/message_routines.h"
#include "toolkit/toolkit_platform.h"

#include <chrono>
#include <exception>
#include <string>

namespace vemlo {

namespace {

constexpr std::chrono::milliseconds kResumeWait{10000};

// Every connection that a form or data module of the application owns directly, in order.
template <typename Visit> void ForEachConnection(TApplicationObject& application, Visit visit) {
    for (auto& container : application.Components) {
        if (container->Kind != ContainerKind::Form &&
            container->Kind != ContainerKind::DataModule) {
            continue;
        }
        for (auto& connection : container->Connections) {
            visit(*container, *connection);
        }
    }
}

std::string RetryQuestion(const std::string& error) {
    return TranslateText(
               "Databasanslutningen har avbrutits på ett felaktigt sätt!\r"
               "Och det automatiska återanslutningsförsöket resulterade i följande fel:") +
           "\r\r" + error + "\r\r" + TranslateText("Försöka ansluta igen?");
}

std::string FailedConnectionLine(const TContainer& container,
                                 const platform::TADOConnection& connection) {
    return TranslateText("Det gick inte att återansluta") + " " + container.Name + "." +
           connection.Name() + "!\r" + "ConnectionString = " + connection.ConnectionString() +
           "\r\r";
}

void Reopen(platform::TADOConnection& connection) {
    connection.SetConnected(false);
    connection.SetConnected(true);
    connection.BeginTrans();
}

} // namespace

void CloseConnectionsForSuspend(TApplicationObject& application) {
    ForEachConnection(application, [](TContainer&, platform::TADOConnection& connection) {
        if (connection.Connected()) {
            connection.SetConnected(false);
            connection.SetTag(kReconnectTag);
        }
    });
}

void ReopenConnectionsAfterResume(TApplicationObject& application) {
    Clock().sleep(kResumeWait);
    bool allRestored = true;
    std::string errors;
    int reopened = 0;
    ForEachConnection(application,
                      [&](TContainer& container, platform::TADOConnection& connection) {
                          if (connection.Tag() != kReconnectTag) {
                              return;
                          }
                          try {
                              Reopen(connection);
                              ++reopened;
                          } catch (const std::exception& first) {
                              try {
                                  if (AskYesNo(RetryQuestion(first.what())) == platform::kBoxYes) {
                                      connection.SetConnected(true);
                                      connection.BeginTrans();
                                  }
                              } catch (const std::exception&) {
                                  errors += FailedConnectionLine(container, connection);
                                  allRestored = false;
                              }
                          }
                      });
    if (allRestored) {
        ShowDatabaseError(TranslateText("Programmet har återanslutit") + " " +
                          std::to_string(reopened) + " " +
                          TranslateText("anslutningar till databasen. Kontrollera att ingen data "
                                        "förlorats."));
        return;
    }
    ShowDatabaseError(
        TranslateText("Det gick inte att ansluta till databasen igen. Programmet avslutas.") +
        "\r\r" + errors);
    ProcessEnd().terminate(1);
}

void HandlePowerBroadcast(TApplicationObject& application, std::uint64_t code) {
    if (code == PBT_APMSUSPEND) {
        CloseConnectionsForSuspend(application);
    } else if (code == PBT_APMRESUMESUSPEND) {
        ReopenConnectionsAfterResume(application);
    }
}

} // namespace vemlo
