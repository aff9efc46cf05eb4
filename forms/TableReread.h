#pragma once
// A table an add picks its free row from. After a row write the device left unanswered (it
// may have taken it since) the next add reads the table again first and picks from what the
// device holds then, or it could write over that row.
//
//   void Form::AddClick()      { if (Reread.ReadFirst()) { ReadTable(); return; } ... }
//   void Form::RowSetDone(e)   { Reread.RowWritten(e->Code == KvSNMPCode::NoAnswer); ... }
//   void Form::TableReadDone() { if (Reread.TableRead(whole)) AddClick(); }
class TableReread {
public:
    // A row write ended; unanswered: the device did not answer it.
    void RowWritten(bool unanswered);
    // At an add: true when the table is to be read first; the add then goes on from TableRead.
    bool ReadFirst();
    // A read of the table ended (read: all of it). True when an add waits for it and goes on
    // now; a table still not read is read again at the next add.
    bool TableRead(bool read);

private:
    bool m_stale = false;
    bool m_addWaits = false;
};
