// Resource numbers of the KAPTORAX module, shared by its .rc and its code.
#ifndef KAPTOR_CONTROL_RES_RESOURCE_H
#define KAPTOR_CONTROL_RES_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDS_KAPTORAX 1
#define IDS_KAPTORAX_PPG 2
#define IDS_KAPTORAX_PPG_CAPTION 200

#define IDD_ABOUTBOX_KAPTORAX 1
#define IDD_PROPPAGE_KAPTORAX 200

#define IDI_ABOUTDLL 1
#define IDB_KAPTORAX 1
#define IDR_TYPELIB 1

#endif
