// Resource ids of keyrelay.exe, shared by the code, the message table
// (strings.rc) and the payload script that keyrelay/app/CMakeLists.txt writes.
#pragma once

// The message table. 5 to 26 are the run's results and the words around
// them; a result's event code in the client's log is its id + 50.
#define IDS_TOOL_DAMAGED 5
#define IDS_NO_ACTION 6
#define IDS_NO_CERTIFICATE 7
#define IDS_CERTIFICATE_ALLOC 8
#define IDS_NO_TARGET 9
#define IDS_TARGET_ALLOC 10
#define IDS_NO_CERTIFICATE_MANAGER 11
#define IDS_UNKNOWN_ACTION 12
#define IDS_ADD_FAILED 13
#define IDS_DELETE_FAILED 14
#define IDS_REVOKE_FAILED 15
#define IDS_SUCCESS_TEXT 16     // the message box after a success
#define IDS_SUCCESS_CAPTION 17
#define IDS_UPDATE_FAILED 18    // any failure without a message of its own
#define IDS_FAILURE_CAPTION 19
#define IDS_RELATIONSHIP_WORD 20  // the name put for %relationship
#define IDS_LOG_SOURCE 21         // the log record's source
#define IDS_USER_ADD_FAILED 22    // what the user is told, by action
#define IDS_USER_DELETE_FAILED 23
#define IDS_USER_REVOKE_FAILED 24
#define IDS_USER_EARLY_FAILURE 25  // ... when the run failed before its action
#define IDS_SUCCESS 26

// The payload (RT_RCDATA, US English), read from the bytes of the verified
// file: the action word, the target relationship, the certificate record.
#define IDR_ACTION 100
#define IDR_TARGET 200
#define IDR_CERTIFICATE 300
