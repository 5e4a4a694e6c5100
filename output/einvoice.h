#pragma once

// E-invoices: the formats an invoice is sent in to a buyer's e-invoice
// address instead of on paper.

/// The e-invoice formats, in the order the biller details offer them.
enum class EinvoiceFormat : int {
    /// Finvoice 3.0, the Finnish banks' and operators' format.
    Finvoice,
    /// Finvoice 3.0 behind the SOAP transmission frame some operators and
    /// the banks' forwarding service want.
    FramedFinvoice,
    /// Peppol BIS Billing 3.0, a UBL 2.1 invoice.
    Peppol,
};
