// Control ids of the progress window (dialog 103), read by the resource
// compiler and by C++. Its own names: in the main window the same numbers
// are other controls.
#ifndef QUORVEL_UI_WIN32_COPYSTATEIDS_H
#define QUORVEL_UI_WIN32_COPYSTATEIDS_H

#define IDC_COPYSTATE_LOG 1009          /* the list box */
#define IDC_COPYSTATE_OPEN_FOLDER 1024  /* shown by SetOpenFolder */
#define IDC_COPYSTATE_IGNORE_WAIT 1025  /* shown by ShowIgnoreWaitButton */
#define IDC_COPYSTATE_STOP_COPY 1026    /* never shown */

#endif
