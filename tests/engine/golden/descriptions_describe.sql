DESCRIBE DOMAIN D_MONEY
'About D_MONEY (it''s here)';

DESCRIBE TABLE "Customer"
'About Customer';

DESCRIBE FIELD NAME TABLE "Customer"
'About NAME';

DESCRIBE VIEW V_CUST
'About V_CUST';

DESCRIBE FIELD NAME VIEW V_CUST
'About view NAME';

DESCRIBE PROCEDURE P_GET
'About P_GET';

DESCRIBE PARAMETER ID PROCEDURE P_GET
'About ID';

DESCRIBE TRIGGER TR_A
'About TR_A (it''s here)';

DESCRIBE EXCEPTION E_A
'About E_A (it''s here)';

DESCRIBE INDEX IX_A
'About IX_A (it''s here)';

DESCRIBE FUNCTION F_A
'About F_A (it''s here)';

DESCRIBE GENERATOR G_A
'About G_A (it''s here)';

DESCRIBE ROLE R_A
'About R_A (it''s here)';
