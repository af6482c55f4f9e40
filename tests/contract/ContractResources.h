// Resources of the contract tests: in the Windows build they come from
// ContractResources.rc, in the in-memory build the fixture registers the same.
#pragma once

#define IDD_CONTRACT_DIALOG 201
#define IDD_CONTRACT_OWNED 202
#define IDC_CONTRACT_BUTTON 1001
#define IDS_CONTRACT_TEXT 301
#define IDR_CONTRACT_MENU 401
#define ID_CONTRACT_FIRST 40001
#define ID_CONTRACT_SECOND 40002
