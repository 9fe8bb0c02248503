COMMENT ON DOMAIN D_MONEY IS
'About D_MONEY (it''s here)';

COMMENT ON TABLE "Customer" IS
'About Customer';

COMMENT ON COLUMN "Customer".NAME IS
'About NAME';

COMMENT ON VIEW V_CUST IS
'About V_CUST';

COMMENT ON COLUMN V_CUST.NAME IS
'About view NAME';

COMMENT ON PROCEDURE P_GET IS
'About P_GET';

COMMENT ON PARAMETER P_GET.ID IS
'About ID';

COMMENT ON TRIGGER TR_A IS
'About TR_A (it''s here)';

COMMENT ON EXCEPTION E_A IS
'About E_A (it''s here)';

COMMENT ON INDEX IX_A IS
'About IX_A (it''s here)';

COMMENT ON EXTERNAL FUNCTION F_A IS
'About F_A (it''s here)';

COMMENT ON GENERATOR G_A IS
'About G_A (it''s here)';

COMMENT ON ROLE R_A IS
'About R_A (it''s here)';
