#include "repository/join_tree_procedures.h"

namespace korvo::repository {

const QStringList& genTabNodeLines() {
  static const QStringList lines = {
      "Create or replace procedure GEN_TAB_NODE(vIdTable IN Number, vTree IN Number)  IS",
      "  vniv integer;",
      "  nb integer;",
      "  cursor mycurs is",
      "    select * from (",
      "      select JN_IDTAB1 as id, JN_IDTAB2 as idpere  from KORVO_JOIN where",
      "        JN_IDTAB1 in (select distinct TB_IDTAB from KORVO_TABLE) and",
      "        JN_IDTAB2 in (select distinct TB_IDTAB from KORVO_TABLE) and",
      "        JN_IDTAB1 <> JN_IDTAB2 and",
      "        upper(JN_PROP) like '%FALSE%' and",
      "        JN_IDTAB2 = vIdTable",
      "      union",
      "      select JN_IDTAB2 as id, JN_IDTAB1 as idpere   from KORVO_JOIN where",
      "        JN_IDTAB1 in (select distinct TB_IDTAB from KORVO_TABLE) and",
      "        JN_IDTAB2 in (select distinct TB_IDTAB from KORVO_TABLE) and",
      "        JN_IDTAB1 <> JN_IDTAB2 and",
      "        upper(JN_PROP) like '%FALSE%' and",
      "        JN_IDTAB1 = vIdTable",
      "      minus",
      "      select  t_parent, t_id from KORVO_TAB_TREE",
      "    );",
      "begin",
      "  select count(*) into nb from KORVO_TAB_TREE where t_id = vIdTable;",
      "  if nb = 0 then",
      "    insert into KORVO_TAB_TREE (T_ID,T_NIV, T_TREE) values (vIdTable,0, vTree);",
      "  end if;",
      "  begin",
      "    select t_niv into vniv  from KORVO_TAB_TREE where t_id = vIdTable;",
      "  exception",
      "    when TOO_MANY_ROWS then",
      "      raise_application_error(-20001, 'Error: Loop detected in the universe');",
      "    when others then",
      "      raise_application_error(-20001, 'Unknown error');",
      "  end;",
      "  vniv := vniv + 1;",
      "  for cur in mycurs loop",
      "    insert into KORVO_TAB_TREE values(cur.id, cur.idpere, vniv, vtree);",
      "  end loop;",
      "  commit;",
      "  for cur in mycurs loop",
      "    GEN_TAB_NODE(cur.id, vtree);",
      "  end loop;",
      "end;",
  };
  return lines;
}

const QStringList& genTabTreeLines() {
  static const QStringList lines = {
      "Create or replace procedure GEN_TAB_TREE  IS",
      "  id integer;",
      "  nb integer;",
      "  cursor mycurs is",
      "    select distinct TB_IDTAB from KORVO_TABLE",
      "    where TB_IDTAB not in (select T_ID from KORVO_TAB_TREE);",
      "begin",
      "  delete from korvo_tab_tree;",
      "  nb := 0;",
      "  loop",
      "    begin",
      "      select JN_IDTAB1 into ID from",
      "        (select JN_IDTAB1, count(*) NB from KORVO_JOIN",
      "         where JN_IDTAB1 not in (select T_ID from korvo_tab_tree )",
      "         group by JN_IDTAB1 order by count(*) desc)",
      "      where rownum = 1;",
      "    exception",
      "      when no_data_found then",
      "        exit;",
      "    end;",
      "    if ID is not null then",
      "      nb := nb + 1;",
      "      GEN_TAB_NODE(ID,nb);",
      "    end if;",
      "  end loop;",
      "  for cur in mycurs loop",
      "    nb := nb + 1;",
      "    insert into KORVO_TAB_TREE values(cur.TB_IDTAB, 0, 0, nb);",
      "  end loop;",
      "  commit;",
      "end;",
  };
  return lines;
}

QString procedureStatement(const QStringList& memoLines) {
  return memoLines.join(QStringLiteral("\r\n"));
}

}  // namespace korvo::repository
