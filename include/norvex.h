/*
 * norvex.h - the Norvex API: the 242 functions that the library exports.
 *
 * Load libnorvex.so (Linux) or Norvex.dll (Windows) and call these functions from one
 * thread at a time. All of them work on the one driver object inside the library.
 *
 * Conventions
 *   - On 32-bit Windows every function is __stdcall and exported by its plain name.
 *     Each argument takes one 4-byte slot; the callee removes 4 bytes per argument, so a
 *     prototype with another number of arguments corrupts the caller's stack.
 *   - Result codes: 0 is success, anything else is a code of the API result table; read
 *     its text with GetErrorMessageNo and the underlying device text with
 *     GetErrorMessage. Every operation called before OpenDLL (or after CloseDLL) returns
 *     177 ("DLL не подключена") and touches no device.
 *   - Texts are zero-terminated and in code page 1251, or in the OEM code page when
 *     OpenDLL was called with a non-zero oemFlag. Null text pointers read as "".
 *   - Money passed as an integer is in minor units (12345 is 123.45); money passed as
 *     text is in full units ("123.45"). Quantities are in thousandths (1500 is 1.5).
 *   - Byte arguments use only their low 8 bits, 16-bit arguments their low 16 bits.
 *   - Functions that fill a caller's buffer write at most 32001 bytes and then a zero
 *     byte, so the buffer needs 32002 bytes for the longest text; a null buffer is left
 *     alone. They return the buffer pointer.
 *   - Arguments named unusedN are accepted and ignored.
 */
#ifndef NORVEX_H
#define NORVEX_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define NORVEX_API __stdcall
#else
#define NORVEX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Last error -------------------------------------------------------------------
 * The library keeps the error of the most recent call, including a call refused
 * because the library is not opened. These three never need OpenDLL. */

/* Result code of the last error (0 when the last call succeeded). */
int32_t NORVEX_API GetLastDllError(void);
/* Writes the description of the last error as the device or driver gave it. */
char* NORVEX_API GetErrorMessage(char* buffer);
/* Writes the text of result code `code`; 65535 means the last error, as GetErrorMessage. */
char* NORVEX_API GetErrorMessageNo(char* buffer, uint16_t code);

/* ---- Connection and service -------------------------------------------------------- */

/* Opens the register on port "COMn" (the NORVEX_COM environment variable overrides n),
 * stores adminName in the register and uses accessPassword for every command. A
 * non-zero oemFlag makes every later text, in and out, use the OEM code page. While
 * opened, a second call returns 178 and changes nothing. */
int32_t NORVEX_API OpenDLL(const char* adminName, const char* accessPassword, const char* port,
                           int32_t oemFlag);
/* As OpenDLL, with the host-side baud rate as text ("" keeps the previous one). */
int32_t NORVEX_API OpenDLLPlus(const char* adminName, const char* accessPassword, const char* port,
                               const char* baudRate, int32_t oemFlag);
int32_t NORVEX_API CloseDLL(void);
/* Renames the system administrator stored in the register. */
int32_t NORVEX_API ChangeOpName(const char* name);
/* Changes the access password stored in the register (not the one this library sends). */
int32_t NORVEX_API SetPassword(const char* password);
/* Sets the register's own port speed ("1200" ... "115200"; 19200 and unknown texts select
 * 4800). The host side keeps its speed. */
int32_t NORVEX_API SetInterfaceParam(const char* rate, int32_t unused2, int32_t unused3);
int32_t NORVEX_API ChangeBaudrate(const char* rate);
/* Opens the cash drawer. */
int32_t NORVEX_API CashDriverOpen(void);
/* Writes "1.1.6.204" and a zero byte: the buffer must hold 10 bytes. Before OpenDLL the
 * buffer is left alone. */
char* NORVEX_API GetDllVer(char* buffer);
/* Writes the text as one line of the diagnostic log; returns 0. */
int32_t NORVEX_API ExceptToLog(const char* text);

/* ---- Receipts --------------------------------------------------------------------- */

/* Prints the header and opens a receipt of the given type (1 to 5 except 3). */
int32_t NORVEX_API StartReceipt(uint8_t receiptType, int32_t unused2, int32_t unused3, int32_t unused4,
                                int32_t unused5);
int32_t NORVEX_API StartReceiptPlus(uint8_t receiptType, int32_t unused2, int32_t unused3,
                                    int32_t unused4, int32_t unused5, int32_t unused6);
/* Registers an item: price in minor units, quantity in thousandths (1500 is 1.5). */
int32_t NORVEX_API ItemReceipt(const char* name, int32_t unused2, int32_t unused3, int32_t unused4,
                               int32_t price, int32_t quantity, int32_t unused7);
/* As ItemReceipt with a remark for the log; the quantity keeps whole units only
 * (1500 registers 1). */
int32_t NORVEX_API ItemReceiptPlus(const char* name, int32_t unused2, int32_t unused3, int32_t unused4,
                                   const char* remark, int32_t price, int32_t quantity, int32_t unused8);
/* Price as text in full units ("10.50"), quantity in thousandths. */
int32_t NORVEX_API ItemReceiptEx(const char* name, int32_t unused2, int32_t unused3, int32_t unused4,
                                 const char* remark, const char* price, int32_t quantity, int32_t unused8);
/* Price as text in full units, quantity as text in thousandths ("2000" is 2). */
int32_t NORVEX_API ItemReceiptExx(const char* name, int32_t unused2, int32_t unused3, int32_t unused4,
                                  const char* remark, const char* price, const char* quantity,
                                  int32_t unused8);
/* Payment of the given type; type 2 is taken as type 3. Amount in minor units. */
int32_t NORVEX_API TenderReceipt(uint8_t paymentType, int32_t amount, int32_t unused3);
int32_t NORVEX_API TenderReceiptPlus(uint8_t paymentType, int32_t amount, int32_t unused3,
                                     const char* remark);
/* Amount as text in full units. */
int32_t NORVEX_API TenderReceiptEx(uint8_t paymentType, const char* amount, int32_t unused3,
                                   const char* remark);
/* Discount or surcharge of the given kind, amount in minor units. */
int32_t NORVEX_API ComissionReceipt(uint8_t kind, int32_t unused2, int32_t amount);
int32_t NORVEX_API ComissionReceiptPlus(uint8_t kind, int32_t unused2, int32_t amount, const char* remark);
/* Amount as text in full units. */
int32_t NORVEX_API ComissionReceiptEx(uint8_t kind, int32_t unused2, const char* amount, const char* remark);
int32_t NORVEX_API ComissionReceiptExx(uint8_t kind, int32_t unused2, const char* amount, const char* remark);
/* Prints a barcode inside the receipt. */
int32_t NORVEX_API BarcodeReceipt(uint8_t barcodeType, uint8_t printText, int32_t unused3, uint8_t height,
                                  int32_t unused5, const char* data);
/* Prints one line of text. */
int32_t NORVEX_API CommentReceipt(const char* text);
int32_t NORVEX_API CloseReceipt(void);
int32_t NORVEX_API CancelReceipt(void);

/* Cash into the drawer (amount in minor units; the text is printed ahead of it). */
int32_t NORVEX_API ToCash(int32_t amount);
int32_t NORVEX_API ToCashPlus(int32_t amount, const char* text);
int32_t NORVEX_API ToCashEx(const char* amount, const char* text);  /* amount in full units */
/* Cash out of the drawer. */
int32_t NORVEX_API FromCash(int32_t amount);
int32_t NORVEX_API FromCashPlus(int32_t amount, const char* text);
int32_t NORVEX_API FromCashEx(const char* amount, const char* text);  /* amount in full units */

/* Non-fiscal text receipt: header, lines, footer. LinesReceiptNF prints its ten lines in
 * order (empty ones too) and stops at the first that fails. */
int32_t NORVEX_API StartReceiptNF(void);
int32_t NORVEX_API LineReceiptNF(const char* text);
int32_t NORVEX_API LinesReceiptNF(const char* line1, const char* line2, const char* line3,
                                  const char* line4, const char* line5, const char* line6,
                                  const char* line7, const char* line8, const char* line9,
                                  const char* line10);
int32_t NORVEX_API CloseReceiptNF(void);

/* ---- Fiscal documents laid out by the caller ------------------------------------------
 * Open, place fields at (row, column, font attribute), then print or close. Opening
 * while one is open returns 180; adding or closing with none open returns 179. The
 * payment type is adjusted as for TenderReceipt, and becomes 0 for receipt types 4
 * and 5. The total is in hundredths. */
int32_t NORVEX_API OpenFiscalDoc(uint8_t receiptType, uint8_t paymentType, int32_t unused3,
                                 uint8_t copies, int32_t unused5, int32_t unused6, int32_t unused7,
                                 int32_t unused8, int32_t unused9, int32_t total);
int32_t NORVEX_API OpenFiscalDoc77(uint8_t receiptType, uint8_t paymentType, int32_t unused3,
                                   uint8_t copies, int32_t unused5, int32_t unused6, int32_t unused7,
                                   int32_t unused8, int32_t unused9, int32_t total);
/* Total as text, also in hundredths ("12345" is 123.45). */
int32_t NORVEX_API OpenFiscalDocEx(uint8_t receiptType, uint8_t paymentType, int32_t unused3,
                                   uint8_t copies, int32_t unused5, int32_t unused6, int32_t unused7,
                                   int32_t unused8, int32_t unused9, const char* total);
int32_t NORVEX_API OpenFiscalDocEx77(uint8_t receiptType, uint8_t paymentType, int32_t unused3,
                                     uint8_t copies, int32_t unused5, int32_t unused6, int32_t unused7,
                                     int32_t unused8, int32_t unused9, const char* total);
/* Places the standard fields: serial number, document number, date, time, taxpayer
 * number, cashier and sum. Returns 0 even when single fields are refused. */
int32_t NORVEX_API AddPosField(uint16_t serialRow, uint16_t serialColumn, int8_t serialFont,
                               uint16_t docNoRow, uint16_t docNoColumn, int8_t docNoFont,
                               uint16_t dateRow, uint16_t dateColumn, int8_t dateFont,
                               uint16_t timeRow, uint16_t timeColumn, int8_t timeFont,
                               uint16_t innRow, uint16_t innColumn, int8_t innFont,
                               uint16_t cashierRow, uint16_t cashierColumn, int8_t cashierFont,
                               uint16_t sumRow, uint16_t sumColumn, int8_t sumFont);
/* As AddPosField; arguments 16 to 21 are ignored and the cashier and sum come last. */
int32_t NORVEX_API AddPosField77(uint16_t serialRow, uint16_t serialColumn, int8_t serialFont,
                                 uint16_t docNoRow, uint16_t docNoColumn, int8_t docNoFont,
                                 uint16_t dateRow, uint16_t dateColumn, int8_t dateFont,
                                 uint16_t timeRow, uint16_t timeColumn, int8_t timeFont,
                                 uint16_t innRow, uint16_t innColumn, int8_t innFont,
                                 int32_t unused16, int32_t unused17, int32_t unused18,
                                 int32_t unused19, int32_t unused20, int32_t unused21,
                                 uint16_t cashierRow, uint16_t cashierColumn, int8_t cashierFont,
                                 uint16_t sumRow, uint16_t sumColumn, int8_t sumFont);
/* Places a free text. */
int32_t NORVEX_API AddFreeField(uint16_t row, uint16_t column, int8_t font, int32_t unused4,
                                int32_t unused5, const char* text);
int32_t NORVEX_API AddFreeField77(uint16_t row, uint16_t column, int8_t font, int32_t unused4,
                                  int32_t unused5, const char* text);
/* Prints the document with its fiscal operation and ends it (also when printing fails). */
int32_t NORVEX_API PrintFiscalReceipt(void);
int32_t NORVEX_API PrintFiscalSlip(void);
int32_t NORVEX_API PrintFiscalSlip77(void);
/* Ends the document as a non-fiscal one. */
int32_t NORVEX_API CloseFreeDoc(void);
int32_t NORVEX_API CloseFreeDoc77(void);

/* ---- Free documents ------------------------------------------------------------------ */

int32_t NORVEX_API OpenFDoc(void);
/* Prints the first `length` characters of the text. */
int32_t NORVEX_API PrintFDoc(const char* text, int32_t length);
/* As PrintFDoc, but the text is always read as code page 1251. */
int32_t NORVEX_API PrintOEMDoc(const char* text, int32_t length);
int32_t NORVEX_API PrintOEMCRLFDoc(const char* text, int32_t length);
/* Prints the first `length` characters of the data as a barcode. */
int32_t NORVEX_API PrintBarcodeFDoc(uint8_t barcodeType, int32_t unused2, uint8_t height, int32_t unused4,
                                    uint8_t printText, uint8_t length, const char* data);
int32_t NORVEX_API CloseFDoc(void);
int32_t NORVEX_API CloseFDocPlus(void);
int32_t NORVEX_API CloseFDocEx(int32_t unused1, int32_t unused2);
/* Prints the text from character `start` on; a start beyond the text fails. */
int32_t NORVEX_API FreeDoc(const char* text, int32_t start);
/* Cuts the paper; FreeDocCutPlus first feeds `lines` empty lines. */
int32_t NORVEX_API FreeDocCut(void);
int32_t NORVEX_API FreeDocCutPlus(uint8_t lines);

/* ---- Reports, shift and journal copies ------------------------------------------------ */

int32_t NORVEX_API XReport(void);
/* The shift-closing (Z) report. */
int32_t NORVEX_API ShiftClose(void);
int32_t NORVEX_API ShiftCloseEx(void);
int32_t NORVEX_API ShiftOpen(const char* text);
int32_t NORVEX_API ShiftOpenEx(int32_t unused1, int32_t unused2, const char* text);
/* Marks the start of work; answer field 2 reports it from then on. */
int32_t NORVEX_API StartSeans(void);
/* Reads report totals into the answer fields: command 0x34 (X totals), 0x35 (numbers),
 * 0x36 (totals of payment type `parameter`), 0x37 (extended X totals); any other
 * command does nothing and returns 0. */
int32_t NORVEX_API GetEReport(uint8_t command, uint8_t parameter);
/* Prints control-tape copies from the local journal: the current shift, shift `shift`,
 * document `number`, documents `first` to `last`. */
int32_t NORVEX_API EJPrint(void);
int32_t NORVEX_API EJPrintEx(int32_t shift);
int32_t NORVEX_API EJNoDoc(int32_t number);
int32_t NORVEX_API EJNoReport(int32_t first, int32_t last);

/* ---- Settings and queries ------------------------------------------------------------ */

/* Header lines printed with every document. SetHeader empties the first two and writes
 * lines 3 to 6; SetHeaderNew writes all six. The result is that of the last line. */
int32_t NORVEX_API SetHeader(const char* line1, const char* line2, const char* line3, const char* line4);
int32_t NORVEX_API SetHeaderNew(const char* line1, const char* line2, const char* line3,
                                const char* line4, const char* line5, const char* line6);
/* Sets the register's clock from this computer's clock, or from texts DDMMYY and HHMM. */
int32_t NORVEX_API SetDate(void);
int32_t NORVEX_API SetDateEx(const char* date, const char* time);
/* Date and time into answer fields 5 (DDMMYY) and 6 (HHMM). */
int32_t NORVEX_API GetDate(void);
int32_t NORVEX_API GetParamDoc(void);
/* Asks the register for its state: answer fields 0 to 4 and the status bytes. */
int32_t NORVEX_API GetStatus(void);
int32_t NORVEX_API GetStatusPlus(void);
/* Status byte n (1 to 6) of the last state query, 0 for any other n or before OpenDLL. */
uint8_t NORVEX_API GetStatusNum(int32_t n);
/* Bit `bit` of status byte n: 0 or 1; 0 before OpenDLL. */
int32_t NORVEX_API CheckStatusNum(int32_t n, int32_t bit);
int32_t NORVEX_API GetSerialNum(void);
int32_t NORVEX_API GetFiscalNums(void);
int32_t NORVEX_API GetNumbers(void);
int32_t NORVEX_API GetMony(void);
int32_t NORVEX_API GetResource(void);
/* Not implemented: write "Метод не реализован" when opened. */
char* NORVEX_API GetCommand(char* buffer);
char* NORVEX_API GetAnswer(char* buffer);

/* ---- Answer fields --------------------------------------------------------------------
 * Most operations leave a list of fields shaped like a device reply: field 0 is a
 * command code, 1 to 4 status, the rest what the operation read. Fields hold
 * hexadecimal digits (low byte first), amounts as decimal text, or texts. A field
 * number beyond the count reads as empty. Before OpenDLL the numeric readers return
 * 177 (177.0) and GetFldStr leaves the buffer alone. */
int32_t NORVEX_API GetFldsCount(void);
/* The last 4, 2 or 1 bytes of a hexadecimal field. */
int32_t NORVEX_API GetFldInt(uint8_t field);
uint16_t NORVEX_API GetFldWord(uint8_t field);
uint8_t NORVEX_API GetFldByte(uint8_t field);
/* A field read as a decimal number (0.0 when it is none). */
double NORVEX_API GetFldFloat(uint8_t field);
char* NORVEX_API GetFldStr(uint8_t field, char* buffer);

/* ---- Not implemented --------------------------------------------------------------------
 * These accept their arguments and do nothing on the register. */

/* Return 0 when opened (after a state query that fills answer fields 0 to 4; field 0
 * holds the code given), else 177. */
int32_t NORVEX_API ChangeService(int32_t, int32_t);  /* field 0: 48 */
int32_t NORVEX_API ClearAllDept(void);  /* field 0: 00 */
int32_t NORVEX_API ClearDept(int32_t);  /* field 0: 00 */
int32_t NORVEX_API CutFDoc(void);  /* field 0: 00 */
int32_t NORVEX_API DownLoadHex(int32_t, int32_t, int32_t, int32_t);  /* field 0: 00 */
int32_t NORVEX_API DownloadGraphHeader(int32_t);  /* field 0: 00 */
int32_t NORVEX_API EJDateTimeReport(int32_t, int32_t, int32_t);  /* field 0: 7D */
int32_t NORVEX_API EJErase(void);  /* field 0: 8D */
int32_t NORVEX_API EJNoDocEx(int32_t, int32_t);  /* field 0: 00 */
int32_t NORVEX_API EJNoReportEx(int32_t, int32_t, int32_t);  /* field 0: 00 */
int32_t NORVEX_API EJTimeReport(int32_t, int32_t);  /* field 0: 7D */
int32_t NORVEX_API EKLActivization(void);  /* field 0: 09 */
int32_t NORVEX_API EKLActivizationReport(void);  /* field 0: 8F */
int32_t NORVEX_API EKLClose(void);  /* field 0: 8D */
int32_t NORVEX_API EKLEJournalReport(int32_t);  /* field 0: 8C */
int32_t NORVEX_API EKLEJournalTotal(int32_t);  /* field 0: 8E */
int32_t NORVEX_API EKLKPKReport(int32_t);  /* field 0: 8A */
int32_t NORVEX_API EKLShiftsDateReport(int32_t, int32_t, int32_t);  /* field 0: 88 */
int32_t NORVEX_API EKLShiftsNumReport(int32_t, int32_t, int32_t);  /* field 0: 89 */
int32_t NORVEX_API Fiscalization(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);  /* field 0: 04 */
int32_t NORVEX_API GRunCommand(int32_t, int32_t);  /* field 0: 00 */
int32_t NORVEX_API GetAnswerSize(void);  /* field 0: 00 */
int32_t NORVEX_API GetArt(int32_t);  /* field 0: 64 */
int32_t NORVEX_API GetCommStatus(int32_t, int32_t);  /* field 0: 00 */
int32_t NORVEX_API GetCounters(void);  /* field 0: 3D */
int32_t NORVEX_API GetDateReport(int32_t, int32_t, int32_t);  /* field 0: 05 */
int32_t NORVEX_API GetDept(void);  /* field 0: 61 */
int32_t NORVEX_API GetDrawerParam(void);  /* field 0: 45 */
int32_t NORVEX_API GetEJParam(void);  /* field 0: 49 */
int32_t NORVEX_API GetFiscalInfo(void);  /* field 0: 00 */
int32_t NORVEX_API GetLastCommandNum(void);  /* field 0: 00 */
int32_t NORVEX_API GetLastDoc(int32_t);  /* field 0: 3E */
int32_t NORVEX_API GetLastKPK(void);  /* field 0: 3F */
int32_t NORVEX_API GetNumReport(int32_t, int32_t, int32_t);  /* field 0: 06 */
int32_t NORVEX_API GetParameters(void);  /* field 0: 00 */
int32_t NORVEX_API GetPayment(int32_t);  /* field 0: 4B */
int32_t NORVEX_API GetStatusNo(int32_t);  /* field 0: 00 */
int32_t NORVEX_API GetStatusNoPlus(int32_t);  /* field 0: 00 */
int32_t NORVEX_API GetTCPDelay(void);  /* field 0: 00 */
int32_t NORVEX_API GetTaxes(int32_t);  /* field 0: 59 */
int32_t NORVEX_API ItemDepReceipt(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);  /* field 0: 18 */
int32_t NORVEX_API ItemDepReceiptEx(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);  /* field 0: 18 */
int32_t NORVEX_API ItemDepReceiptPlus(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);  /* field 0: 18 */
int32_t NORVEX_API PrintEjournal(void);  /* field 0: 72 */
int32_t NORVEX_API PrintFiscalReceiptPlus(void);  /* field 0: 75 */
int32_t NORVEX_API PrintFiscalSlipPlus(void);  /* field 0: 74 */
int32_t NORVEX_API PrintHFDoc(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);  /* field 0: 00 */
int32_t NORVEX_API ReadCMOS(int32_t, int32_t);  /* field 0: 82 */
int32_t NORVEX_API Sertification(int32_t);  /* field 0: 00 */
int32_t NORVEX_API SetArt(int32_t);  /* field 0: 63 */
int32_t NORVEX_API SetAutoID(int32_t);  /* field 0: 00 */
int32_t NORVEX_API SetCommParam(int32_t);  /* field 0: 00 */
int32_t NORVEX_API SetDept(void);  /* field 0: 60 */
int32_t NORVEX_API SetDrawerParam(int32_t, int32_t, int32_t);  /* field 0: 44 */
int32_t NORVEX_API SetOperNames(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);  /* field 0: 47 */
int32_t NORVEX_API SetParamDoc(int32_t, int32_t, int32_t);  /* field 0: 4C */
int32_t NORVEX_API SetPayment(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);  /* field 0: 4A */
int32_t NORVEX_API SetPrezenter(int32_t, int32_t, int32_t);  /* field 0: 00 */
int32_t NORVEX_API SetTail(int32_t, int32_t, int32_t, int32_t);  /* field 0: 46 */
int32_t NORVEX_API SetTaxes(int32_t, int32_t, int32_t, int32_t, int32_t);  /* field 0: 58 */
int32_t NORVEX_API StartMonitor(void);  /* field 0: 00 */
int32_t NORVEX_API SubTotalReceipt(void);  /* field 0: 16 */
int32_t NORVEX_API SubTotalReceiptPlus(int32_t);  /* field 0: 16 */
int32_t NORVEX_API TaxReceipt(int32_t);  /* field 0: 1B */
int32_t NORVEX_API TaxReceiptPlus(int32_t, int32_t);  /* field 0: 1B */
int32_t NORVEX_API TerminateMonitor(void);  /* field 0: 00 */
int32_t NORVEX_API TotalReceipt(void);  /* field 0: 12 */
int32_t NORVEX_API TotalReceiptPlus(int32_t);  /* field 0: 12 */
int32_t NORVEX_API WriteCMOS(int32_t, int32_t);  /* field 0: 81 */
/* As above, but returns the result of the state query. */
int32_t NORVEX_API SetTCPDelay(int32_t);

/* Return 0 when opened, else 177. */
int32_t NORVEX_API AddArt(int32_t, int32_t, int32_t);
int32_t NORVEX_API AddDept(int32_t, int32_t);
int32_t NORVEX_API AddFreeFieldPlus(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
int32_t NORVEX_API AddPayFieldPlus(int32_t, int32_t, int32_t, int32_t, int32_t);
int32_t NORVEX_API AddPayFieldPlusEx(int32_t, int32_t, int32_t, int32_t, int32_t);
int32_t NORVEX_API AddPosFieldPlus(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
int32_t NORVEX_API AddPosFieldPlus1(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
int32_t NORVEX_API AddPosFieldPlus2(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
int32_t NORVEX_API AddSubDepFieldPlus(int32_t, int32_t);
int32_t NORVEX_API AddSubDepFieldPlusEx(int32_t, int32_t);
int32_t NORVEX_API CashDriverEnable(int32_t);
int32_t NORVEX_API CloseArt(void);
int32_t NORVEX_API CloseDept(void);
int32_t NORVEX_API CloseFreeDocPlus(void);
int32_t NORVEX_API DllComWrite(int32_t, int32_t);
int32_t NORVEX_API DllComWritePlus(int32_t, int32_t);
int32_t NORVEX_API FontSelectFDoc(int32_t);
int32_t NORVEX_API GetLastAnswer(void);
int32_t NORVEX_API GetSerialAnswer(void);
int32_t NORVEX_API InitDisplay(void);
int32_t NORVEX_API LibEnable(int32_t);
int32_t NORVEX_API LogEnable(int32_t);
int32_t NORVEX_API OpenFiscalDocPlus(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
int32_t NORVEX_API OpenFiscalDocPlusEx(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
int32_t NORVEX_API ReadComm(int32_t, int32_t);
int32_t NORVEX_API SetCommTimeout(int32_t, int32_t);
int32_t NORVEX_API SetCommTimeoutMs(int32_t, int32_t);
int32_t NORVEX_API ShowDisplay(int32_t, int32_t);
int32_t NORVEX_API SlipEjectFDoc(void);
int32_t NORVEX_API SlipSelectFDoc(void);
int32_t NORVEX_API WriteComm(int32_t, int32_t);

/* Always return 0. */
int32_t NORVEX_API ChangeFiscalDocSum(void);
int32_t NORVEX_API CheckBit(void);
int32_t NORVEX_API CheckHealth(void);
int32_t NORVEX_API CheckMask(void);
int32_t NORVEX_API DownLoadHexLPC(void);
int32_t NORVEX_API EJReadPageEx(void);
int32_t NORVEX_API EJZreport(void);
int32_t NORVEX_API FiscalizationNew(void);
int32_t NORVEX_API GNRunCommand(void);
int32_t NORVEX_API GetCommandSize(void);
int32_t NORVEX_API GetCurrency(void);
int32_t NORVEX_API GetErrorMessageEx(void);
int32_t NORVEX_API GetFldArr(void);
int32_t NORVEX_API GetPaperLengthBeforeEndFDoc(void);
int32_t NORVEX_API GetPaperLengthFDoc(void);
int32_t NORVEX_API GetPrnByte(void);
int32_t NORVEX_API GetShiftCloseTime(void);
int32_t NORVEX_API GetShiftState(void);
int32_t NORVEX_API GhangeService(void);
int32_t NORVEX_API IniActivated(void);
int32_t NORVEX_API LineFeedFDoc(void);
int32_t NORVEX_API OpenDLLEx(void);
int32_t NORVEX_API PrintHFDocEx(void);
int32_t NORVEX_API PrintHFDocPlus(void);
int32_t NORVEX_API PrintLogo(void);
int32_t NORVEX_API ReadTCP(void);
int32_t NORVEX_API RunCashCode(void);
int32_t NORVEX_API SetBillType(void);
int32_t NORVEX_API SetCOMPort(void);
int32_t NORVEX_API SetCashCode(void);
int32_t NORVEX_API SetCurrency(void);
int32_t NORVEX_API SetDTR(void);
int32_t NORVEX_API SetDTRControl(void);
int32_t NORVEX_API SetDecimalPoint(void);
int32_t NORVEX_API SetIDChar(void);
int32_t NORVEX_API SetShiftCloseTime(void);
int32_t NORVEX_API VirtualPaperLimitFDoc(void);
int32_t NORVEX_API WriteTCP(void);
int32_t NORVEX_API XmlForm(void);
int32_t NORVEX_API XmlFormEx(void);
int32_t NORVEX_API XmlFormPlus(void);
int32_t NORVEX_API XonXoffEnable(void);

/* Returns 178 when opened, else 0; opens nothing. */
int32_t NORVEX_API OpenTCPDLL(int32_t unused1, int32_t unused2, int32_t unused3, int32_t unused4,
                              int32_t unused5);

#ifdef __cplusplus
}
#endif

#endif /* NORVEX_H */
